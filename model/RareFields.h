#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

// What few tracks have, kept beside a track's record in one block of its own: the album artist
// when it differs from the artist, the sort names, the artists of a track that names several,
// and a disc number too large for the record. Most tracks have none of it and cost one empty
// pointer: a million tracks hold the block only where a tag gives something.
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
    CRareFields(const CRareFields& other) { *this = other; }
    CRareFields& operator=(const CRareFields& other);
    CRareFields(CRareFields&&) noexcept = default;
    CRareFields& operator=(CRareFields&&) noexcept = default;
    ~CRareFields() = default;

    bool Empty() const { return !block_; }
    std::string_view Get(ESlot slot) const;
    std::uint16_t Disc() const;
    // `values` may point into this block.
    void Assign(const Values& values, std::uint16_t disc);
    void Set(ESlot slot, std::string_view value);
    void SetDisc(std::uint16_t disc);

private:
    // The block: disc (u16) | the ends of the texts (u32 each) | the texts' bytes.
    static constexpr std::size_t kHead = 2 + kCount * 4;

    Values All() const;
    std::size_t BlockSize() const;

    std::unique_ptr<char[]> block_; // null while every text is empty and there is no disc
};
