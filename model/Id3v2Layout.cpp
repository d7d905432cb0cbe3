#include "model/Id3v2Layout.h"

#include "model/Id3v2Tag.h"

#include <algorithm>

namespace {

using EReason = STagWriteResult::EReason;

constexpr std::uint8_t kUnsynchronised = 0x80;
constexpr std::uint8_t kExtended = 0x40; // 2.2: the whole tag is compressed
constexpr std::uint8_t kFooter = 0x10;
constexpr std::size_t kFooterSize = 10;

std::size_t BigEndian(std::span<const std::uint8_t> b) {
    std::size_t value = 0;
    for (const std::uint8_t byte : b)
        value = value << 8 | byte;
    return value;
}

// Four 7-bit bytes; SIZE_MAX when a high bit is set.
std::size_t Syncsafe(std::span<const std::uint8_t> b) {
    if (((b[0] | b[1] | b[2] | b[3]) & 0x80) != 0)
        return SIZE_MAX;
    return std::size_t{b[0]} << 21 | std::size_t{b[1]} << 14 | std::size_t{b[2]} << 7 | b[3];
}

bool IsIdCharacter(std::uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The format flags a writer cannot carry past a change: 2.3 compression 0x80 and encryption
// 0x40 (second flag byte); 2.4 compression 0x08 and encryption 0x04.
bool Sealed(int version, std::uint8_t format) {
    return version == 3 ? (format & 0xC0) != 0 : version == 4 && (format & 0x0C) != 0;
}

} // namespace

EReason CId3v2Layout::Parse(std::span<const std::uint8_t> tag) {
    const std::size_t declared = CId3v2Tag::DeclaredLength(tag);
    if (declared == 0 || tag[3] < 2 || tag[3] > 4)
        return EReason::Unreadable;
    version_ = tag[3];
    const std::uint8_t flags = tag[5];
    if ((flags & kUnsynchronised) != 0)
        return EReason::Unsynchronised;
    if (version_ == 2 && (flags & kExtended) != 0)
        return EReason::CompressedOrEncrypted;
    footer_ = version_ == 4 && (flags & kFooter) != 0;
    totalSize_ = declared + (footer_ ? kFooterSize : 0);
    if (tag.size() < totalSize_)
        return EReason::Unreadable;
    framesStart_ = CId3v2Tag::kHeaderSize;
    if (version_ > 2 && (flags & kExtended) != 0) {
        if (const EReason problem = ParseExtendedHeader(tag); problem != EReason::None)
            return problem;
    }
    return ParseFrames(tag, declared);
}

// 2.3: size (4, without itself: 6 or 10) | flags (2; 0x8000: a CRC follows) | padding size (4).
// 2.4: size (4 of 7 bits, with itself) | flag bytes (1) | flags (0x20: a CRC follows) | data.
// A checksum over the frames would be wrong after any change: such a tag is left alone. Some
// writers set the flag without writing the header: a frame id stands there instead, and the
// flag stays as it was.
EReason CId3v2Layout::ParseExtendedHeader(std::span<const std::uint8_t> tag) {
    const std::size_t at = CId3v2Tag::kHeaderSize;
    if (tag.size() < at + 6)
        return EReason::Unreadable;
    if (std::all_of(tag.begin() + at, tag.begin() + at + 4, IsIdCharacter))
        return EReason::None;
    if (version_ == 3) {
        const std::size_t size = BigEndian(tag.subspan(at, 4));
        if ((size != 6 && size != 10) || (tag[at + 4] & 0x80) != 0)
            return EReason::Unreadable;
        paddingSizeField_ = at + 6;
        framesStart_ = at + 4 + size;
    } else {
        const std::size_t size = Syncsafe(tag.subspan(at, 4));
        if (size < 6 || size == SIZE_MAX || tag[at + 4] != 1 || (tag[at + 5] & 0x20) != 0)
            return EReason::Unreadable;
        framesStart_ = at + size;
    }
    return framesStart_ <= CId3v2Tag::DeclaredLength(tag) ? EReason::None : EReason::Unreadable;
}

// Frames until the end of the declared size or the first zero byte, after which only zeros
// may follow: anything else there would be lost by a rewrite.
EReason CId3v2Layout::ParseFrames(std::span<const std::uint8_t> tag, std::size_t end) {
    const std::size_t headerSize = FrameHeaderSize(version_);
    const std::size_t idLength = version_ == 2 ? 3 : 4;
    std::size_t at = framesStart_;
    frames_.clear();
    while (at < end && tag[at] != 0) {
        if (end - at < headerSize)
            return EReason::Unreadable;
        const auto header = tag.subspan(at, headerSize);
        if (!std::all_of(header.begin(), header.begin() + static_cast<long>(idLength),
                         IsIdCharacter))
            return EReason::Unreadable;
        const std::size_t body = version_ == 2   ? BigEndian(header.subspan(3, 3))
                                 : version_ == 3 ? BigEndian(header.subspan(4, 4))
                                                 : Syncsafe(header.subspan(4, 4));
        if (body == SIZE_MAX || body > end - at - headerSize)
            return EReason::Unreadable;
        if (version_ > 2 && Sealed(version_, header[9]))
            return EReason::CompressedOrEncrypted;
        frames_.push_back(
            {at, headerSize + body, {reinterpret_cast<const char*>(header.data()), idLength}});
        at += headerSize + body;
    }
    const auto padding = tag.subspan(at, end - at);
    if (!std::all_of(padding.begin(), padding.end(), [](std::uint8_t b) { return b == 0; }))
        return EReason::Unreadable;
    return EReason::None;
}

std::optional<std::span<const std::uint8_t>>
CId3v2Layout::FrameData(std::span<const std::uint8_t> frame, int version,
                        std::vector<std::uint8_t>& restored) {
    const std::size_t header = FrameHeaderSize(version);
    auto body = frame.subspan(header);
    if (version == 2)
        return body;
    const std::uint8_t format = frame[9];
    const std::size_t skip = version == 3
                                 ? ((format & 0x20) != 0 ? 1 : 0)
                                 : ((format & 0x40) != 0 ? 1 : 0) + ((format & 0x01) != 0 ? 4 : 0);
    if (skip > body.size())
        return std::nullopt;
    body = body.subspan(skip);
    if (version != 4 || (format & 0x02) == 0)
        return body;
    restored = CId3v2Tag::Resynchronised(body);
    return restored;
}
