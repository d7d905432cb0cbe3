#include "model/Id3v2Picture.h"

#include "model/Id3v2Tag.h"
#include "model/Id3v2Text.h"
#include "platform/Ascii.h"
#include "platform/File.h"

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

namespace {

constexpr std::uint8_t kTagUnsynchronised = 0x80;
// The frame's head is read in this much first, then, for a long description, in this much.
constexpr std::size_t kHeadRead = 4096;
constexpr std::size_t kLongHeadRead = 65536;

// The length of a string ended by the NUL of `encoding` (two zero bytes at an even offset in
// UTF-16), terminator included; none when `bytes` end first.
std::optional<std::size_t> Terminated(std::uint8_t encoding, std::span<const std::uint8_t> bytes) {
    const bool wide = encoding == 1 || encoding == 2;
    if (!wide) {
        const auto nul = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
        if (nul == bytes.end())
            return std::nullopt;
        return static_cast<std::size_t>(nul - bytes.begin()) + 1;
    }
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        if (bytes[i] == 0 && bytes[i + 1] == 0)
            return i + 2;
    return std::nullopt;
}

} // namespace

bool CId3v2Picture::IsPictureId(std::span<const std::uint8_t> id) {
    const std::string_view text(reinterpret_cast<const char*>(id.data()), id.size());
    return text == "APIC" || text == "PIC";
}

std::optional<std::size_t> CId3v2Picture::DataStart(int version, std::uint8_t f,
                                                    bool tagUnsynchronised) {
    if (tagUnsynchronised)
        return std::nullopt;
    if (version == 3)
        return (f & 0xC0) != 0 ? std::nullopt : std::optional<std::size_t>((f & 0x20) != 0);
    if (version == 4) {
        if ((f & 0x0E) != 0) // compressed, encrypted, unsynchronised
            return std::nullopt;
        return ((f & 0x40) != 0 ? 1 : 0) + ((f & 0x01) != 0 ? 4 : 0);
    }
    return 0;
}

// Each step either finds its bytes or says whether more would have held them.
CId3v2Picture::EHead CId3v2Picture::ReadHead(std::span<const std::uint8_t> data, int version,
                                             bool whole, SHead& head) {
    const EHead shortHead = whole ? EHead::Broken : EHead::Short;
    if (data.empty())
        return shortHead;
    const std::uint8_t encoding = data[0];
    if (encoding > 3)
        return EHead::Broken;
    std::size_t at = 1;
    std::string_view type;
    if (version == 2) {
        if (data.size() < at + 3)
            return shortHead;
        type = {reinterpret_cast<const char*>(data.data() + at), 3};
        at += 3;
    } else {
        const auto mime = Terminated(0, data.subspan(at));
        if (!mime)
            return shortHead;
        type = {reinterpret_cast<const char*>(data.data() + at), *mime - 1};
        at += *mime;
    }
    if (type == "-->")
        return EHead::Broken;
    if (data.size() < at + 1)
        return shortHead;
    head.type = data[at++];
    const auto description = Terminated(encoding, data.subspan(at));
    if (!description)
        return shortHead;
    at += *description;
    // An image of no byte is none; the bytes given must reach it to tell.
    if (at >= data.size())
        return shortHead;
    head.imageAt = at;
    head.image = Named(type, version);
    return EHead::Read;
}

namespace {

// A frame header's size: 3 bytes in 2.2, 4 in 2.3, 4 of 7 bits in 2.4; none when broken.
std::optional<std::size_t> DeclaredSize(std::span<const std::uint8_t> h, int version) {
    const std::size_t first = version == 2 ? 3 : 4;
    const std::size_t end = version == 2 ? 6 : 8;
    const unsigned bits = version == 4 ? 7 : 8;
    std::size_t size = 0;
    for (std::size_t i = first; i < end; ++i) {
        if (version == 4 && (h[i] & 0x80) != 0)
            return std::nullopt;
        size = size << bits | h[i];
    }
    return size;
}

// Reads the frame at `offset`, of `frameSize` bytes after its header, and up to `want` of them,
// into `found`: the image's place where they hold the frame's head.
CId3v2Picture::EHead ReadFrameHead(const CFile& file, std::uint64_t offset, int version,
                                   bool tagUnsynchronised, std::size_t frameSize, std::size_t want,
                                   CPictureNote& found) {
    const std::size_t headerLength = version == 2 ? 6 : 10;
    std::vector<std::uint8_t> bytes(headerLength + std::min(frameSize, want));
    if (file.ReadAt(static_cast<std::int64_t>(offset), bytes.data(), bytes.size()) !=
        static_cast<std::ptrdiff_t>(bytes.size()))
        return CId3v2Picture::EHead::Broken;
    const std::span<const std::uint8_t> h(bytes);
    if (!CId3v2Picture::IsPictureId(h.first(version == 2 ? 3 : 4)) ||
        DeclaredSize(h, version) != frameSize)
        return CId3v2Picture::EHead::Broken;
    const auto skip = CId3v2Picture::DataStart(version, version == 2 ? 0 : h[9], tagUnsynchronised);
    if (!skip || *skip >= frameSize || headerLength + *skip > bytes.size())
        return CId3v2Picture::EHead::Broken;
    const auto data = h.subspan(headerLength + *skip);
    const std::size_t dataSize = frameSize - *skip;
    CId3v2Picture::SHead head;
    const auto read = CId3v2Picture::ReadHead(data, version, data.size() == dataSize, head);
    if (read == CId3v2Picture::EHead::Read)
        found = CPictureNote::Make(CPictureNote::EKind::Image,
                                   offset + headerLength + *skip + head.imageAt,
                                   dataSize - head.imageAt, head.image);
    return read;
}

} // namespace

// The note's frame is checked against the tag as it is now: its id, its size, its flags. A
// long description has its head read a second time, longer.
CPictureNote CId3v2Picture::Locate(const CFile& file, const CPictureNote& note) {
    if (note.Kind() != CPictureNote::EKind::Frame)
        return note;
    std::array<std::uint8_t, CId3v2Tag::kHeaderSize> tag{};
    if (file.ReadAt(0, tag.data(), tag.size()) != static_cast<std::ptrdiff_t>(tag.size()))
        return {};
    const std::size_t tagEnd = CId3v2Tag::DeclaredLength(tag);
    const int version = tagEnd == 0 ? 0 : tag[3];
    const std::size_t headerLength = version == 2 ? 6 : 10;
    if (version < 2 || version > 4 || note.End() > tagEnd || note.Length() <= headerLength)
        return {};
    const std::size_t frameSize = note.Length() - headerLength;
    const bool tagUnsynchronised = (tag[5] & kTagUnsynchronised) != 0;
    for (const std::size_t want : {kHeadRead, kLongHeadRead}) {
        CPictureNote found;
        switch (ReadFrameHead(file, note.Offset(), version, tagUnsynchronised, frameSize, want,
                              found)) {
        case EHead::Read:
            return found;
        case EHead::Broken:
            return {};
        case EHead::Short:
            if (want >= frameSize)
                return {};
            break;
        }
    }
    return {};
}
