#include "model/ArchiveReader.h"

#include "model/ArchiveFormat.h"
#include "platform/File.h"

#include <algorithm>
#include <cstring>

CArchiveReader::CArchiveReader(std::string_view bytes) : window_(bytes) {}

// Streams the file: a snapshot of a large collection is read without holding all of it.
CArchiveReader::CArchiveReader(const CFile& file) : file_(&file), buffer_(kBufferSize) {}

std::size_t CArchiveReader::Remaining() const {
    const std::int64_t unread = file_ != nullptr ? file_->Size() - fileOffset_ : 0;
    return Available() + static_cast<std::size_t>(std::max<std::int64_t>(unread, 0));
}

bool CArchiveReader::Ensure(std::size_t count) {
    if (Available() >= count)
        return true;
    if (file_ == nullptr || count > buffer_.size())
        return false;
    const std::size_t kept = Available();
    if (kept > 0)
        std::memmove(buffer_.data(), window_.data() + position_, kept);
    const auto got = file_->ReadAt(fileOffset_, buffer_.data() + kept, buffer_.size() - kept);
    const std::size_t added = got > 0 ? static_cast<std::size_t>(got) : 0;
    fileOffset_ += static_cast<std::int64_t>(added);
    window_ = std::string_view(buffer_.data(), kept + added);
    position_ = 0;
    return Available() >= count;
}

bool CArchiveReader::ReadByte(std::uint8_t& value) {
    if (!Ensure(1))
        return false;
    value = static_cast<std::uint8_t>(window_[position_++]);
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
    if (Ensure(length)) {
        text.assign(window_.data() + position_, length);
        position_ += length;
        return true;
    }
    // Longer than the buffer: taken piece by piece.
    text.clear();
    text.reserve(length);
    while (text.size() < length) {
        if (!Ensure(1))
            return false;
        const std::size_t piece = std::min(Available(), length - text.size());
        text.append(window_.data() + position_, piece);
        position_ += piece;
    }
    return true;
}
