#include "model/VbrHeader.h"

#include "model/MpegHeader.h"

#include <array>

namespace {

// Layer III side information, by version (0 MPEG-2, 1 MPEG-1) and mono or not: a "Xing" or
// "Info" header follows it. A checksum after the frame header does not move it: encoders count
// from the frame header's end.
constexpr std::array<std::array<std::size_t, 2>, 2> kSideInfo{{{17, 9}, {32, 17}}};
constexpr int kSingleChannel = 3;
// "VBRI" always stands 32 bytes into the body, whatever the mode.
constexpr std::size_t kVbriOffset = 32;
constexpr std::uint32_t kXingHasFrames = 0x1;
constexpr std::uint32_t kXingHasBytes = 0x2;
constexpr int kMinKilobits = 8;
constexpr int kMaxKilobits = 640;

std::uint32_t Be32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

bool HasMarker(std::span<const std::uint8_t> bytes, std::size_t at, const char (&marker)[5]) {
    if (at + 4 > bytes.size())
        return false;
    for (std::size_t i = 0; i < 4; ++i) {
        if (bytes[at + i] != static_cast<std::uint8_t>(marker[i]))
            return false;
    }
    return true;
}

} // namespace

// "Xing"|"Info" | flags (32 bits) | frames if flag 1 | bytes if flag 2 | ... (big-endian).
// "VBRI" | version (16) | delay (16) | quality (16) | bytes (32) | frames (32) | ...
bool CVbrHeader::Parse(const CMpegHeader& header, std::span<const std::uint8_t> body,
                       std::int64_t streamBytes) {
    kind_ = EKind::None;
    seconds_ = 0;
    kilobits_ = 0;
    if (header.Layer() != 3)
        return false;
    const std::size_t xing = kSideInfo[static_cast<std::size_t>(header.Version())]
                                      [header.Mode() == kSingleChannel ? 1 : 0];
    if (HasMarker(body, xing, "Xing") || HasMarker(body, xing, "Info")) {
        kind_ = body[xing] == 'X' ? EKind::Xing : EKind::Info;
        if (xing + 8 > body.size())
            return false;
        const std::uint32_t flags = Be32(body, xing + 4);
        const std::size_t framesAt = xing + 8;
        const std::size_t bytesAt = framesAt + ((flags & kXingHasFrames) != 0 ? 4 : 0);
        if ((flags & kXingHasFrames) == 0 || bytesAt + 4 > body.size())
            return false;
        const std::uint64_t bytes =
            (flags & kXingHasBytes) != 0
                ? Be32(body, bytesAt)
                : static_cast<std::uint64_t>(streamBytes > 0 ? streamBytes : 0);
        return kind_ == EKind::Xing && Compute(header, Be32(body, framesAt), bytes);
    }
    if (HasMarker(body, kVbriOffset, "VBRI") && kVbriOffset + 18 <= body.size()) {
        kind_ = EKind::Vbri;
        return Compute(header, Be32(body, kVbriOffset + 14), Be32(body, kVbriOffset + 10));
    }
    return false;
}

// Time: frames * samples per frame / sampling rate. Bitrate: bytes * 8 over that time. Both in
// 64 bits: 2^32 frames of 1152 samples still fit.
bool CVbrHeader::Compute(const CMpegHeader& header, std::uint64_t frames, std::uint64_t bytes) {
    if (frames == 0 || bytes == 0)
        return false;
    const std::uint64_t samples = frames * static_cast<std::uint64_t>(header.SamplesPerFrame());
    const auto frequency = static_cast<std::uint64_t>(header.Frequency());
    const std::uint64_t bits = bytes * 8 * frequency;
    const std::uint64_t perKilobit = samples * 1000;
    const std::uint64_t kilobits = (bits + perKilobit / 2) / perKilobit;
    if (kilobits < kMinKilobits || kilobits > kMaxKilobits)
        return false;
    kilobits_ = static_cast<int>(kilobits);
    seconds_ = static_cast<int>((samples + frequency / 2) / frequency);
    return true;
}
