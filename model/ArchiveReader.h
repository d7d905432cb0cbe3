#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CFile;

// Reads snapshot bytes, from memory or streamed from an open file through a small buffer.
// Every read checks what remains, so a cut or hostile file fails cleanly: no read past the end,
// no string longer than the bytes left. Mirrors CArchiveWriter.
class CArchiveReader {
public:
    explicit CArchiveReader(std::string_view bytes);
    explicit CArchiveReader(const CFile& file);

    bool ReadByte(std::uint8_t& value);
    bool ReadInt32(std::int32_t& value);
    bool ReadString(std::string& text);

    std::size_t Remaining() const;

private:
    static constexpr std::size_t kBufferSize = 64 * 1024;

    // Makes `count` bytes (at most the buffer's size) readable at the current position.
    bool Ensure(std::size_t count);
    std::size_t Available() const { return window_.size() - position_; }
    bool ReadUInt16(std::uint16_t& value);
    bool ReadUInt32(std::uint32_t& value);

    std::string_view window_;
    std::size_t position_ = 0;
    const CFile* file_ = nullptr;
    std::int64_t fileOffset_ = 0; // where the window ends in the file
    std::vector<char> buffer_;
};
