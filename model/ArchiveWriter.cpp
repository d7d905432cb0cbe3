#include "model/ArchiveWriter.h"

#include "model/ArchiveFormat.h"

#include <utility>

CArchiveWriter::CArchiveWriter(Sink sink) : sink_(std::move(sink)) {
    bytes_.reserve(kPieceSize + 1024);
}

bool CArchiveWriter::Flush() {
    if (sink_ && !failed_ && !bytes_.empty())
        failed_ = !sink_(bytes_);
    if (sink_)
        bytes_.clear();
    return !failed_;
}

void CArchiveWriter::WriteUInt16(std::uint16_t value) {
    WriteByte(static_cast<std::uint8_t>(value));
    WriteByte(static_cast<std::uint8_t>(value >> 8));
}

void CArchiveWriter::WriteUInt32(std::uint32_t value) {
    WriteUInt16(static_cast<std::uint16_t>(value));
    WriteUInt16(static_cast<std::uint16_t>(value >> 16));
}

void CArchiveWriter::WriteInt32(std::int32_t value) {
    WriteUInt32(static_cast<std::uint32_t>(value));
    FlushWhenFull();
}

std::size_t CArchiveWriter::StringSize(std::size_t length) {
    if (length < ArchiveFormat::kShortLengthLimit)
        return 1 + length;
    if (length < ArchiveFormat::kMediumLengthLimit)
        return 3 + length;
    return 7 + length;
}

void CArchiveWriter::WriteString(std::string_view text) {
    WriteLength(text.size());
    bytes_.append(text);
    FlushWhenFull();
}

void CArchiveWriter::WriteLength(std::size_t length) {
    if (length < ArchiveFormat::kShortLengthLimit) {
        WriteByte(static_cast<std::uint8_t>(length));
    } else if (length < ArchiveFormat::kMediumLengthLimit) {
        WriteByte(ArchiveFormat::kEscape);
        WriteUInt16(static_cast<std::uint16_t>(length));
    } else {
        WriteByte(ArchiveFormat::kEscape);
        WriteUInt16(ArchiveFormat::kLongMarker);
        WriteUInt32(static_cast<std::uint32_t>(length));
    }
}
