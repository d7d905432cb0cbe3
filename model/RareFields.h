#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

// What few tracks have, kept beside a track's record in one block of its own: the album artist
// when it differs from the artist, the sort names, the artists of a track that names several,
// and a disc number too large for the record. Most tracks have none of it and cost one empty
// pointer. The tracks of an album mostly have the same, so a block is shared by its owners
// like a folder's text: a record given the same values it holds keeps its block, which may be
// the record before's (see Share).
class CRareFields {
public:
    enum class ESlot : std::size_t {
        AlbumArtist,
        ArtistSort,
        AlbumArtistSort,
        AlbumSort,
        Artists, // the names one after the other, each ended by a NUL
    };
    static constexpr std::size_t kCount = 5;
    using Values = std::array<std::string_view, kCount>;

    CRareFields() = default;
    CRareFields(const CRareFields& other) noexcept : head_(other.head_) { Own(); }
    CRareFields(CRareFields&& other) noexcept : head_(std::exchange(other.head_, nullptr)) {}
    // An assignment of the values held already keeps this block, and so its sharing.
    CRareFields& operator=(const CRareFields& other) noexcept {
        if (!Same(other))
            CRareFields(other).Swap(*this);
        return *this;
    }
    CRareFields& operator=(CRareFields&& other) noexcept {
        if (!Same(other))
            CRareFields(std::move(other)).Swap(*this);
        return *this;
    }
    ~CRareFields() { Disown(); }

    bool Empty() const { return head_ == nullptr; }
    std::string_view Get(ESlot slot) const;
    std::uint16_t Disc() const { return head_ != nullptr ? head_->disc : 0; }
    // `values` may point into this block.
    void Assign(const Values& values, std::uint16_t disc);
    void Set(ESlot slot, std::string_view value);
    void SetDisc(std::uint16_t disc);
    // Takes the block of `other` when it holds the same values, so that the two share it.
    void Share(const CRareFields& other) {
        if (head_ != other.head_ && Same(other))
            CRareFields(other).Swap(*this);
    }
    // Whether both hold the same values.
    bool Same(const CRareFields& other) const;
    void Swap(CRareFields& other) noexcept { std::swap(head_, other.head_); }

private:
    // The texts' bytes follow the head in the same block.
    struct SHead {
        std::atomic<std::uint32_t> owners;
        std::uint16_t disc;
        std::array<std::uint32_t, kCount> ends;
    };

    const char* Text() const { return reinterpret_cast<const char*>(head_ + 1); }
    Values All() const;
    void Own() const {
        if (head_ != nullptr)
            head_->owners.fetch_add(1, std::memory_order_relaxed);
    }
    void Disown() noexcept;

    SHead* head_ = nullptr; // null while every text is empty and there is no disc
};
