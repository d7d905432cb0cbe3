#include "model/Id3v2Picture.h"

#include "model/Id3v2Text.h"
#include "platform/Ascii.h"

#include <algorithm>
#include <array>

namespace {

using EImage = CId3v2Picture::EImage;

// Each image kind as a frame names it, and the bytes that open such an image. A WebP image is
// "RIFF", a 4-byte size, "WEBP": its second mark lies at byte 8.
struct SImageKind {
    EImage image;
    std::string_view mime;
    std::string_view format; // 2.2; empty: none
    std::string_view magic;
    std::string_view secondMagic = {};
};

constexpr std::array<SImageKind, 3> kKinds{{
    {EImage::Jpeg, "image/jpeg", "JPG", "\xFF\xD8\xFF"},
    {EImage::Png, "image/png", "PNG", "\x89PNG"},
    {EImage::WebP, "image/webp", "", "RIFF", "WEBP"},
}};
constexpr std::size_t kSecondMagicAt = 8;
constexpr std::size_t kFormatLength = 3; // 2.2

const SImageKind* KindOf(EImage image) {
    const auto* kind = std::find_if(kKinds.begin(), kKinds.end(),
                                    [image](const SImageKind& k) { return k.image == image; });
    return kind == kKinds.end() ? nullptr : kind;
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view magic) {
    return bytes.size() >= at + magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
}

// The kind a frame's MIME type or 2.2 format names, in any case; "image/jpg" is a common
// misspelling of JPEG's type.
EImage Named(std::string_view name, int version) {
    if (version != 2 && CAscii::EqualNoCase(name, "image/jpg"))
        return EImage::Jpeg;
    for (const SImageKind& kind : kKinds) {
        const std::string_view known = version == 2 ? kind.format : kind.mime;
        if (!known.empty() && CAscii::EqualNoCase(name, known))
            return kind.image;
    }
    return EImage::Unknown;
}

} // namespace

std::optional<CId3v2Picture::SView> CId3v2Picture::Parse(std::span<const std::uint8_t> data,
                                                         int version) {
    if (data.empty() || !CId3v2Text::IsKnownEncoding(data[0]))
        return std::nullopt;
    const std::uint8_t encoding = data[0];
    auto rest = data.subspan(1);
    std::size_t formatLength = kFormatLength;
    std::size_t skip = kFormatLength;
    if (version != 2) {
        const auto nul = std::find(rest.begin(), rest.end(), std::uint8_t{0});
        if (nul == rest.end())
            return std::nullopt;
        formatLength = static_cast<std::size_t>(nul - rest.begin());
        skip = formatLength + 1;
    }
    if (rest.size() < skip + 1)
        return std::nullopt;
    SView view;
    view.format.assign(reinterpret_cast<const char*>(rest.data()), formatLength);
    view.image = Named(view.format, version);
    view.type = rest[skip];
    rest = rest.subspan(skip + 1);
    view.bytes = rest.subspan(CId3v2Text::TerminatedLength(encoding, rest));
    return view;
}

std::string CId3v2Picture::Format(std::span<const std::uint8_t> image, int version) {
    const SImageKind* kind = KindOf(Sniff(image));
    if (kind == nullptr)
        return {};
    std::string data(1, static_cast<char>(CId3v2Text::kLatin1));
    if (version == 2)
        data += kind->format;
    else
        data.append(kind->mime).push_back('\0');
    data += static_cast<char>(kFrontCover);
    data += '\0'; // no description
    data.append(reinterpret_cast<const char*>(image.data()), image.size());
    return data;
}

CId3v2Picture::EImage CId3v2Picture::Sniff(std::span<const std::uint8_t> image) {
    for (const SImageKind& kind : kKinds) {
        if (StartsWith(image, 0, kind.magic) &&
            (kind.secondMagic.empty() || StartsWith(image, kSecondMagicAt, kind.secondMagic)))
            return kind.image;
    }
    return EImage::Unknown;
}

bool CId3v2Picture::Writable(std::span<const std::uint8_t> image, int version) {
    const SImageKind* kind = KindOf(Sniff(image));
    return kind != nullptr && image.size() <= kMaxImageSize &&
           (version != 2 || !kind->format.empty());
}

std::vector<std::size_t> CId3v2Picture::Covers(std::span<const std::uint8_t> tag,
                                               const CId3v2Layout& layout) {
    const int version = layout.Version();
    std::vector<std::size_t> fronts;
    std::optional<std::size_t> first;
    std::vector<std::uint8_t> restored;
    for (std::size_t i = 0; i < layout.Frames().size(); ++i) {
        const CId3v2Layout::SFrame& frame = layout.Frames()[i];
        if (frame.id != FrameId(version))
            continue;
        if (!first)
            first = i;
        const auto data =
            CId3v2Layout::FrameData(tag.subspan(frame.offset, frame.size), version, restored);
        const auto picture = data ? Parse(*data, version) : std::nullopt;
        if (picture && picture->type == kFrontCover)
            fronts.push_back(i);
    }
    if (fronts.empty() && first)
        fronts.push_back(*first);
    return fronts;
}
