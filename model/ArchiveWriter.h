#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The bytes of a snapshot: little-endian integers and length-prefixed strings. Mirrors
// CArchiveReader. Kept whole in memory, or, with a sink, handed on in pieces of about 64 KB as
// they are made, so that a large snapshot never lies in memory as a whole.
class CArchiveWriter {
public:
    // Takes the next bytes; false when they could not be stored.
    using Sink = std::function<bool(std::string_view)>;

    CArchiveWriter() = default;
    explicit CArchiveWriter(Sink sink);

    void WriteByte(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void WriteInt32(std::int32_t value);
    void WriteString(std::string_view text);
    // The length of a string whose bytes follow in pieces, so that a large one is handed on as
    // it is made rather than built whole first; they must come to exactly `length`.
    void WriteLength(std::size_t length);
    // The bytes WriteString writes for a text of `length` bytes.
    static std::size_t StringSize(std::size_t length);

    // Every byte written, when there is no sink; else what the sink has not taken yet.
    const std::string& Bytes() const { return bytes_; }
    void Reserve(std::size_t size) { bytes_.reserve(size); }
    // Hands what is held to the sink; false when the sink failed, now or before.
    bool Flush();

private:
    static constexpr std::size_t kPieceSize = 64 * 1024;

    void WriteUInt16(std::uint16_t value);
    void WriteUInt32(std::uint32_t value);
    void FlushWhenFull() {
        if (sink_ && bytes_.size() >= kPieceSize)
            Flush();
    }

    std::string bytes_;
    Sink sink_;
    bool failed_ = false;
};
