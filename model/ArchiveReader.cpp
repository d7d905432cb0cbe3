#include "model/ArchiveReader.h"

#include "model/ArchiveFormat.h"
#include "platform/File.h"

#include <algorithm>
#include <cstring>

CArchiveReader::CArchiveReader(std::string_view bytes) : window_(bytes) {}

// Streams the file: a snapshot of a large collection is read without holding all of it.
CArchiveReader::CArchiveReader(const CFile& file) : file_(&file), buffer_(kBufferSize) {}

CArchiveReader::CArchiveReader(const CFile& file, std::int64_t offset, std::int64_t end)
    : file_(&file), fileOffset_(offset), end_(end), buffer_(kBufferSize) {}

std::int64_t CArchiveReader::End() const {
    return end_ >= 0 ? std::min(end_, file_->Size()) : file_->Size();
}

std::size_t CArchiveReader::Remaining() const {
    const std::int64_t unread = file_ != nullptr ? End() - fileOffset_ : 0;
    return Available() + static_cast<std::size_t>(std::max<std::int64_t>(unread, 0));
}

// In memory the window is all the bytes, so a position in it is an offset; in a file the
// window ends at fileOffset_.
bool CArchiveReader::SkipString(std::int64_t& offset, std::size_t& length) {
    if (!ReadLength(length))
        return false;
    offset = file_ != nullptr ? fileOffset_ - static_cast<std::int64_t>(Available())
                              : static_cast<std::int64_t>(position_);
    if (length <= Available()) {
        position_ += length;
        return true;
    }
    // Views may still point into the buffer: it is left as it is, and only the window goes.
    fileOffset_ = offset + static_cast<std::int64_t>(length);
    window_ = {};
    position_ = 0;
    return true;
}

CArchiveReader CArchiveReader::Part(std::int64_t offset, std::size_t length) const {
    if (file_ == nullptr)
        return CArchiveReader(window_.substr(static_cast<std::size_t>(offset), length));
    return CArchiveReader(*file_, offset, offset + static_cast<std::int64_t>(length));
}

bool CArchiveReader::Refill(std::size_t count) {
    if (file_ == nullptr || count > kBufferSize)
        return false;
    std::vector<char> next;
    if (viewsOut_)
        next = spare_.empty() ? std::vector<char>(kBufferSize) : std::move(spare_);
    std::vector<char>& target = viewsOut_ ? next : buffer_;
    const std::size_t kept = Available();
    if (kept > 0)
        std::memmove(target.data(), window_.data() + position_, kept);
    const auto wanted = static_cast<std::size_t>(std::clamp<std::int64_t>(
        End() - fileOffset_, 0, static_cast<std::int64_t>(target.size() - kept)));
    const auto got = file_->ReadAt(fileOffset_, target.data() + kept, wanted);
    const std::size_t added = got > 0 ? static_cast<std::size_t>(got) : 0;
    fileOffset_ += static_cast<std::int64_t>(added);
    if (viewsOut_) {
        retired_.push_back(std::move(buffer_));
        buffer_ = std::move(next);
    }
    window_ = std::string_view(buffer_.data(), kept + added);
    position_ = 0;
    return Available() >= count;
}

// One buffer let go is kept for the next refill: a record's views are let go after every
// record, and a new buffer each time would cost its clearing and its first touch.
void CArchiveReader::Release() {
    viewsOut_ = false;
    for (std::vector<char>& retired : retired_)
        if (spare_.empty() && retired.size() == kBufferSize)
            spare_ = std::move(retired);
    retired_.clear();
}

bool CArchiveReader::ReadUnsigned(std::size_t size, std::uint32_t& value) {
    if (!Ensure(size))
        return false;
    value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= std::uint32_t{static_cast<std::uint8_t>(window_[position_ + i])} << (8 * i);
    position_ += size;
    return true;
}

bool CArchiveReader::ReadByte(std::uint8_t& value) {
    std::uint32_t raw = 0;
    if (!ReadUnsigned(1, raw))
        return false;
    value = static_cast<std::uint8_t>(raw);
    return true;
}

bool CArchiveReader::ReadInt32(std::int32_t& value) {
    std::uint32_t raw = 0;
    if (!ReadUnsigned(4, raw))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

// A length no longer than the bytes left, so a hostile one cannot make us allocate.
bool CArchiveReader::ReadLength(std::size_t& length) {
    std::uint32_t value = 0;
    if (!ReadUnsigned(1, value))
        return false;
    if (value == ArchiveFormat::kEscape && !ReadUnsigned(2, value))
        return false;
    if (value == ArchiveFormat::kLongMarker && !ReadUnsigned(4, value))
        return false;
    length = value;
    return length <= Remaining();
}

bool CArchiveReader::ReadStringAnyhow(std::string_view& text) {
    std::size_t length = 0;
    if (!ReadLength(length))
        return false;
    viewsOut_ = true;
    if (!Ensure(length))
        return ReadLongString(length, text);
    text = window_.substr(position_, length);
    position_ += length;
    return true;
}

// Longer than the buffer: the string gets a block of its own, read past the buffer, which the
// earlier views may still point into and so stays as it is.
bool CArchiveReader::ReadLongString(std::size_t length, std::string_view& text) {
    std::vector<char> block(length);
    const std::size_t kept = Available();
    std::memcpy(block.data(), window_.data() + position_, kept);
    const auto got = file_->ReadAt(fileOffset_, block.data() + kept, length - kept);
    if (got < 0 || static_cast<std::size_t>(got) != length - kept)
        return false;
    fileOffset_ += got;
    window_ = {};
    position_ = 0;
    text = std::string_view(block.data(), length);
    retired_.push_back(std::move(block));
    return true;
}

// A copy needs no buffer kept: unless views were already out, nothing is held for it.
bool CArchiveReader::ReadString(std::string& text) {
    const bool viewsWereOut = viewsOut_;
    std::string_view view;
    const bool read = ReadString(view);
    if (read)
        text.assign(view);
    if (!viewsWereOut)
        Release();
    return read;
}
