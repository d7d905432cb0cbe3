#pragma once

#include "model/TrackArray.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Which tracks of a list belong to a compilation, and the artist each album of a folder goes
// by. A track is part of a compilation when its tag says so, when its album artist is "Various
// Artists", or, where the rule for folders is on, when the tracks of its album in its folder
// name no album artist and three artists or more. Made before the tracks are filed and dropped
// after: 4 bytes a track meanwhile.
class CCompilationRule {
public:
    void Find(const TrackArray& tracks, bool byFolder);
    void Clear();

    bool Compilation(std::uint32_t place) const;
    // The same number for the tracks of one album in one folder.
    std::uint32_t AlbumOf(std::uint32_t place) const { return albumOf_[place]; }
    // The place of the first track of the same album in the same folder.
    std::uint32_t FirstOfAlbum(std::uint32_t place) const { return albums_[albumOf_[place]].first; }
    // "Various Artists" in any case.
    static bool NamesVarious(std::string_view albumArtist);
    // The artist a track is by, without those it features: "Ann feat. Bo" is Ann's.
    static std::string_view MainArtist(std::string_view artist);

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    struct SAlbum {
        std::uint32_t first;
        std::uint32_t second = kNone; // the first track of another artist
        std::uint32_t hash;
        bool albumArtist = false; // some track names one
        bool various = false;     // a third artist came
    };

    std::uint32_t FindAlbum(std::uint32_t place);
    bool SameAlbum(const SAlbum& album, std::uint32_t place) const;
    void Count(SAlbum& album, std::uint32_t place) const;

    const TrackArray* tracks_ = nullptr;
    bool byFolder_ = true;
    std::vector<std::uint32_t> albumOf_;
    std::vector<SAlbum> albums_;
    std::vector<std::uint32_t> index_; // open addressing by hash, at most half full
};
