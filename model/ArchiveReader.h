#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads snapshot bytes held in memory. Every read checks what remains, so a cut or hostile file
// fails cleanly: no read past the end, no string longer than the bytes left. Mirrors
// CArchiveWriter.
class CArchiveReader {
public:
    explicit CArchiveReader(std::string_view bytes) : bytes_(bytes) {}

    bool ReadByte(std::uint8_t& value);
    bool ReadInt32(std::int32_t& value);
    bool ReadString(std::string& text);

    std::size_t Remaining() const { return bytes_.size() - position_; }

private:
    bool ReadUInt16(std::uint16_t& value);
    bool ReadUInt32(std::uint32_t& value);

    std::string_view bytes_;
    std::size_t position_ = 0;
};
