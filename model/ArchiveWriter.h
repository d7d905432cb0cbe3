#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Builds the bytes of a snapshot in memory: little-endian integers and length-prefixed
// strings. Mirrors CArchiveReader.
class CArchiveWriter {
public:
    void WriteByte(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void WriteInt32(std::int32_t value);
    void WriteString(std::string_view text);

    const std::string& Bytes() const { return bytes_; }
    void Reserve(std::size_t size) { bytes_.reserve(size); }

private:
    void WriteUInt16(std::uint16_t value);
    void WriteUInt32(std::uint32_t value);

    std::string bytes_;
};
