#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

class CTextPool;

// The texts of one track in a single block: the ends of the texts, then their bytes one after
// the other. A hundred thousand tracks then cost a hundred thousand small blocks, not a million
// strings of 32 bytes each plus their own blocks. The block is on the heap, or in the text pool
// of the list that holds the track (model/TextPool.h), which owns it: a copy or a move of
// pooled texts takes a block of its own on the heap, so no text outlives its pool.
class CTrackTexts {
public:
    enum class ESlot : std::size_t {
        FileName,
        Title,
        Artist,
        Album,
        Year,
        Comment,
        VersionLayer,
        Bitrate,
        Frequency,
        Mode,
        GenreName, // empty unless the genre is a name the table lacks
    };
    static constexpr std::size_t kCount = 11;
    using Values = std::array<std::string_view, kCount>;

    CTrackTexts() = default;
    CTrackTexts(const CTrackTexts& other) { CopyFrom(other, nullptr); }
    CTrackTexts& operator=(const CTrackTexts& other);
    // May allocate: pooled texts are copied.
    CTrackTexts(CTrackTexts&& other) noexcept(false) { *this = std::move(other); }
    CTrackTexts& operator=(CTrackTexts&& other) noexcept(false);
    ~CTrackTexts() { FreeHeap(); }

    // Inline: sorting the list asks for two texts per comparison.
    std::string_view Get(ESlot slot) const {
        if (!block_)
            return {};
        const auto i = static_cast<std::size_t>(slot);
        switch (Width()) {
        case 1:
            return Text<std::uint8_t>(i);
        case 2:
            return Text<std::uint16_t>(i);
        default:
            return Text<std::uint32_t>(i);
        }
    }
    Values All() const;
    // Every text's bytes, one after the other.
    std::string_view Bytes() const {
        if (!block_)
            return {};
        const std::string_view first = Get(ESlot{0});
        const std::string_view last = Get(ESlot{kCount - 1});
        return {first.data(), static_cast<std::size_t>(last.data() + last.size() - first.data())};
    }
    // Whether every text is valid UTF-8, so that two tracks' texts compare as they show by
    // their bytes alone (platform/Utf8.h); known once, when the texts are stored.
    bool AllUtf8() const { return !block_ || (Head() & kNotUtf8) == 0; }
    // `values` may point into this block. With a pool, the block is made there when it fits.
    // `knownUtf8` has bit i set when values[i] is known to be valid UTF-8 (the same bytes as a
    // text found valid before), so that only the others are looked at.
    void Assign(const Values& values, CTextPool* pool = nullptr, std::uint16_t knownUtf8 = 0);
    // Edits take a block on the heap: a pooled one is left to its pool.
    void Set(ESlot slot, std::string_view value);
    bool Pooled() const { return block_ != nullptr && (Head() & kPooled) != 0; }
    // Moves heap texts into `pool`.
    void MoveInto(CTextPool& pool);
    // The texts of `other` (not this), copied as they lie: into `pool` when given and it has
    // room, else onto the heap.
    void CopyFrom(const CTrackTexts& other, CTextPool* pool);
    void Swap(CTrackTexts& other) noexcept { std::swap(block_, other.block_); }
    // Leaves the texts empty, giving a pooled block back to `pool` when it is the last there.
    void Release(CTextPool& pool);

    // The block starts with one byte saying how wide its ends are: 1 byte while the texts
    // total less than 256 bytes, which most tracks' do, 2 while they total less than 64 KiB,
    // which every real track's do, or else 4; a bit says the block is in a pool, the high bit
    // that a text is not valid UTF-8.
    static constexpr std::size_t kHead = 1;
    static constexpr unsigned char kWidthMask = 0x07;
    static constexpr unsigned char kPooled = 0x40;
    static constexpr unsigned char kNotUtf8 = 0x80;

private:
    unsigned char Head() const { return static_cast<unsigned char>(block_[0]); }
    std::size_t Width() const { return Head() & kWidthMask; }
    std::size_t BlockSize() const;
    void FreeHeap() {
        if (block_ != nullptr && (Head() & kPooled) == 0)
            delete[] block_;
    }

    template <class End>
    std::string_view Text(std::size_t i) const {
        const char* block = block_;
        const char* bytes = block + kHead + kCount * sizeof(End);
        const std::size_t start = i == 0 ? 0 : ReadEnd<End>(block, i - 1);
        return {bytes + start, ReadEnd<End>(block, i) - start};
    }
    // Every text, the width looked at once and each end read once.
    template <class End>
    Values AllTexts() const {
        Values values;
        const char* bytes = block_ + kHead + kCount * sizeof(End);
        std::size_t start = 0;
        for (std::size_t i = 0; i < kCount; ++i) {
            const std::size_t end = ReadEnd<End>(block_, i);
            values[i] = {bytes + start, end - start};
            start = end;
        }
        return values;
    }
    template <class End>
    static std::size_t ReadEnd(const char* block, std::size_t i) {
        End end;
        std::memcpy(&end, block + kHead + i * sizeof(End), sizeof(End));
        return end;
    }

    char* block_ = nullptr; // null while every text is empty
};
