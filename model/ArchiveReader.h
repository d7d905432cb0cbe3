#pragma once

#include "model/ArchiveFormat.h"

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
    // The string where it lies, without a copy: a record's texts go from the buffer straight
    // into the track. The view stays valid until Release().
    bool ReadString(std::string_view& text) {
        // Nearly every string: a one-byte length and its bytes already in the buffer.
        if (Available() > 0) {
            const auto length = static_cast<std::uint8_t>(window_[position_]);
            if (length != ArchiveFormat::kEscape && length < Available()) {
                viewsOut_ = true;
                text = std::string_view(window_.data() + position_ + 1, length);
                position_ += 1 + std::size_t{length};
                return true;
            }
        }
        return ReadStringAnyhow(text);
    }
    // The views read so far are no longer needed: their buffers may be reused.
    void Release();
    // Moves past the next string without reading its bytes, and says where they lie (for
    // Part); a section of a million entries is then checked and applied from the source, never
    // held whole.
    bool SkipString(std::int64_t& offset, std::size_t& length);
    // A reader of `length` bytes at `offset` of the same source, as SkipString gave them: a
    // view of them in memory, or a stream of its own from the file.
    CArchiveReader Part(std::int64_t offset, std::size_t length) const;

    std::size_t Remaining() const;

private:
    static constexpr std::size_t kBufferSize = 64 * 1024;

    // Makes `count` bytes (at most the buffer's size) readable at the current position.
    bool Ensure(std::size_t count) { return Available() >= count || Refill(count); }
    bool Refill(std::size_t count);
    std::size_t Available() const { return window_.size() - position_; }
    bool ReadUnsigned(std::size_t size, std::uint32_t& value);
    bool ReadLength(std::size_t& length);
    bool ReadStringAnyhow(std::string_view& text);
    bool ReadLongString(std::size_t length, std::string_view& text);

    CArchiveReader(const CFile& file, std::int64_t offset, std::int64_t end);
    std::int64_t End() const;

    std::string_view window_;
    std::size_t position_ = 0;
    const CFile* file_ = nullptr;
    std::int64_t fileOffset_ = 0; // where the window ends in the file
    std::int64_t end_ = -1;       // where the bytes to read end in the file; -1: its end
    std::vector<char> buffer_;
    // While views are out, a refill moves on to another buffer and keeps the old one here.
    bool viewsOut_ = false;
    std::vector<std::vector<char>> retired_;
    std::vector<char> spare_; // a retired buffer, for the next refill
};
