#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

class CFile;

// Walks an open file looking for MPEG audio frames. Reads go through a buffer, so the search
// looks at every byte without a system call per byte.
class CMpegStream {
public:
    // Enough for the largest body the bitrate tables give (1725 bytes).
    static constexpr std::size_t kFrameBufferSize = 1732;

    explicit CMpegStream(const CFile& file);

    // A file that begins with an ID3v2 tag has its audio after it: the search starts there, so
    // that bytes inside the tag (the FF FE of a UTF-16 text, say) are not taken for a header.
    // Returns the tag's bytes already buffered, header first (empty without a tag); they stay
    // valid until the next search.
    std::span<const std::uint8_t> SkipId3v2();
    // The next position whose first 12 bits are all ones, as a big-endian header value; the
    // stream then stands after those 4 bytes.
    std::optional<std::uint32_t> FindSync();
    // Reads exactly `length` body bytes into the frame buffer.
    bool ReadFrame(int length);
    int FrameLength() const { return frameLength_; }
    // The body of the last frame read: where an encoder keeps its frame and byte counts.
    std::span<const std::uint8_t> FrameBody() const {
        return {frame_.data(), static_cast<std::size_t>(frameLength_)};
    }
    std::int64_t Position() const { return position_; }

private:
    static constexpr std::size_t kFirstRead = 4096;
    static constexpr std::size_t kBufferSize = 16384;

    bool Fill(std::size_t count, std::size_t atLeast = kFirstRead);
    std::int64_t BufferEnd() const {
        return bufferStart_ + static_cast<std::int64_t>(bufferLength_);
    }

    const CFile& file_;
    std::int64_t position_ = 0;
    std::int64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
    std::array<std::uint8_t, kBufferSize> buffer_;
    std::array<std::uint8_t, kFrameBufferSize> frame_;
    int frameLength_ = 0;
};
