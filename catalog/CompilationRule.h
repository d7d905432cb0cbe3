#pragma once

#include "model/Mp3File.h"
#include "model/TrackArray.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Which tracks of a list belong to a compilation, and the artist each album of a folder goes
// by. A track is part of a compilation when its tag says so, when its album artist is "Various
// Artists", or, where the rule for folders is on, when the tracks of its album in its folder
// name no album artist and three artists or more.
//
// The list is taken run by run, a run being the tracks one after the other of one album in one
// folder, so that a run's tracks are counted and then filed while they are in the cache. A run
// counted may revise the verdict on an album taken before it (its tracks come in two runs or
// more); the verdicts are final once every run has been counted. Made before the tracks are
// filed and dropped after: some 20 bytes an album, nothing a track.
class CCompilationRule {
public:
    void Start(const TrackArray& tracks, bool byFolder);
    void Clear();
    // Takes the run that starts at `place` as the current one and returns its end; `count`
    // counts its tracks towards the verdict on their album.
    std::uint32_t Run(std::uint32_t place, bool count);
    // Whether a run counted since Start revised the verdict on an album of an earlier run.
    bool Revised() const { return revised_; }
    // Takes the list again from its start, as Run left the verdicts.
    void Rewind() { current_ = kNone; }

    // Whether a track of the current run is part of a compilation.
    bool Compilation(const CMp3File& track) const { return various_ || Tagged(track); }
    // Whether a track is part of a compilation by its own tag.
    static bool Tagged(const CMp3File& track) {
        return track.Compilation() || (track.HasAlbumArtist() && NamesVarious(track.AlbumArtist()));
    }
    // The same number for the tracks of one album in one folder.
    std::uint32_t Album() const { return current_; }
    // The place of the first track of the current run's album.
    std::uint32_t FirstOfAlbum() const { return albums_[current_].first; }
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
        // Tracks of three artists or more, none naming an album artist.
        bool Compilation() const { return various && !albumArtist; }
    };

    struct SSlot {
        std::uint32_t hash = 0;
        std::uint32_t album = kNone;
    };

    std::uint32_t FindAlbum(std::uint32_t place);
    void Prefetch(std::uint32_t place);
    bool SameAlbum(const SAlbum& album, std::uint32_t place) const;
    void Count(SAlbum& album, std::uint32_t place) const;

    const TrackArray* tracks_ = nullptr;
    bool byFolder_ = true;
    bool revised_ = false;
    bool various_ = false; // the current run's album is a compilation by the rule for folders
    std::uint32_t current_ = kNone;
    std::vector<SAlbum> albums_;
    std::uint32_t next_ = kNone; // the place whose hash is nextHash_
    std::uint32_t nextHash_ = 0;
    std::vector<SSlot> index_; // open addressing by hash, at most half full
};
