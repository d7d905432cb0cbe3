#include "model/MpegStream.h"

#include "platform/File.h"

#include <algorithm>
#include <cstring>

CMpegStream::CMpegStream(const CFile& file) : file_(file) {}

// Makes `count` bytes from the current position available in the buffer, reading at least
// `atLeast`. Reads are small where the header is expected (the start, after an ID3v2 tag, a
// frame's body); only a search that goes on past a buffer without a header reads more.
bool CMpegStream::Fill(std::size_t count, std::size_t atLeast) {
    if (position_ >= bufferStart_ && position_ + static_cast<std::int64_t>(count) <= BufferEnd())
        return true;
    if (!file_.IsOpen() || position_ >= file_.Size())
        return false;
    const std::size_t want = std::max(count, atLeast);
    const auto got = file_.ReadAt(position_, buffer_.data(), std::min(want, kBufferSize));
    bufferStart_ = position_;
    bufferLength_ = got < 0 ? 0 : static_cast<std::size_t>(got);
    return bufferLength_ >= count;
}

// ID3v2 header: "ID3", version and revision below 0xFF, flags, then a 28-bit size in four
// bytes of 7 bits each. The tag is 10 bytes of header plus that size, and 10 more when the
// flags announce a footer.
std::span<const std::uint8_t> CMpegStream::SkipId3v2() {
    if (!Fill(10))
        return {};
    const std::size_t at = static_cast<std::size_t>(position_ - bufferStart_);
    const std::uint8_t* h = buffer_.data() + at;
    if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF || h[4] == 0xFF)
        return {};
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80)
        return {};
    const std::int64_t size = (h[6] << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
    const bool footer = (h[5] & 0x10) != 0;
    position_ += 10 + size + (footer ? 10 : 0);
    const auto tagLength = static_cast<std::size_t>(10 + size);
    return {h, std::min(tagLength, bufferLength_ - at)};
}

std::optional<std::uint32_t> CMpegStream::FindSync() {
    for (std::size_t atLeast = kFirstRead; Fill(4, atLeast); atLeast = kBufferSize) {
        const std::uint8_t* begin = buffer_.data() + (position_ - bufferStart_);
        const std::uint8_t* last = buffer_.data() + bufferLength_ - 3;
        for (const std::uint8_t* p = begin; p < last; ++p) {
            if (p[0] == 0xFF && (p[1] & 0xF0) == 0xF0) {
                position_ += (p - begin) + 4;
                return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                       (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
            }
        }
        position_ += last - begin;
    }
    return std::nullopt;
}

bool CMpegStream::ReadFrame(int length) {
    if (length < 0 || static_cast<std::size_t>(length) > kFrameBufferSize)
        return false;
    const auto count = static_cast<std::size_t>(length);
    if (!Fill(count))
        return false;
    std::memcpy(frame_.data(), buffer_.data() + (position_ - bufferStart_), count);
    position_ += length;
    frameLength_ = length;
    return true;
}
