#include "model/ArchiveReader.h"

#include "model/ArchiveFormat.h"

bool CArchiveReader::ReadByte(std::uint8_t& value) {
    if (Remaining() < 1)
        return false;
    value = static_cast<std::uint8_t>(bytes_[position_++]);
    return true;
}

bool CArchiveReader::ReadUInt16(std::uint16_t& value) {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (!ReadByte(low) || !ReadByte(high))
        return false;
    value = static_cast<std::uint16_t>(low | (high << 8));
    return true;
}

bool CArchiveReader::ReadUInt32(std::uint32_t& value) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!ReadUInt16(low) || !ReadUInt16(high))
        return false;
    value = static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
    return true;
}

bool CArchiveReader::ReadInt32(std::int32_t& value) {
    std::uint32_t raw = 0;
    if (!ReadUInt32(raw))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool CArchiveReader::ReadString(std::string& text) {
    std::uint8_t shortLength = 0;
    if (!ReadByte(shortLength))
        return false;
    std::size_t length = shortLength;
    if (shortLength == ArchiveFormat::kEscape) {
        std::uint16_t medium = 0;
        if (!ReadUInt16(medium))
            return false;
        length = medium;
        if (medium == ArchiveFormat::kLongMarker) {
            std::uint32_t long_ = 0;
            if (!ReadUInt32(long_))
                return false;
            length = long_;
        }
    }
    if (length > Remaining())
        return false;
    text.assign(bytes_.data() + position_, length);
    position_ += length;
    return true;
}
