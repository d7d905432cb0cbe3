#pragma once

#include "catalog/AlbumGroup.h"
#include "catalog/ArtistGroup.h"
#include "catalog/GenreGroup.h"
#include "catalog/GroupList.h"

#include <memory_resource>
#include <span>
#include <string_view>

class CMp3File;

// The artist, genre and album groups of the catalog, and the memory they live in, dropped whole
// by Clear(). Tracks are filed in two passes: the first finds or makes each track's groups and
// counts what each will hold, the second fills arrays made at their final size. Arrays grown by
// doubling in memory that is never given back would leave every smaller copy behind them, and
// a million tracks sit in five arrays each.
class CCatalogGroups {
public:
    CCatalogGroups() = default;
    CCatalogGroups(const CCatalogGroups&) = delete;
    CCatalogGroups& operator=(const CCatalogGroups&) = delete;
    ~CCatalogGroups() { Clear(); }

    // Files `tracks` after those filed before, in their order.
    void File(std::span<CMp3File* const> tracks);
    void Clear();

    const TGroupList<CArtistGroup>& Artists() const { return artists_; }
    const TGroupList<CGenreGroup>& Genres() const { return genres_; }
    const TGroupList<CAlbumGroup>& Albums() const { return albums_; }

private:
    // The groups of the track filed last, and the names they were found by.
    struct SLast {
        std::string_view artist, genre, album;
        CArtistGroup* artistGroup = nullptr;
        CGenreGroup* genreGroup = nullptr;
        CArtistGroup* genreArtist = nullptr;
        CAlbumGroup* albumGroup = nullptr;
        CArtistGroup* albumArtist = nullptr;
    };

    void Find(const CMp3File& track, SLast& last);
    void Reserve();

    std::pmr::monotonic_buffer_resource memory_;
    TGroupList<CArtistGroup> artists_{&memory_};
    TGroupList<CGenreGroup> genres_{&memory_};
    TGroupList<CAlbumGroup> albums_{&memory_};
};
