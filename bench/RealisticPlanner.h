#pragma once

#include "bench/RealisticTrack.h"

#include <cstdint>
#include <string>

// Draws the tracks of the realistic collection one after the other, from a seed alone: the
// same seed gives the same tracks, so a collection made once is reused and its expected values
// can be drawn again without reading it. Albums of 8 to 16 tracks, one to four albums an
// artist; artist and album folders are unique by construction.
//   - ID3v2.3 (60 %) or 2.4 tags of 2 to 40 KB, mostly padding; 40 % of the albums add a
//     picture of 20 to 200 KB, a quarter of those before the texts;
//   - 30 % of the albums also have an ID3v1 tag;
//   - half the albums VBR with a "Xing" header, the others constant bitrate, half of those with
//     an "Info" header;
//   - file names of 40 to 90 bytes, names and texts in UTF-8, many not ASCII;
//   - with the rarer frames: 8 % of the albums compilations ("Various Artists"), 15 % of two
//     discs, a sort name for the artists named "The ...", an album sort name on 10 %, a guest
//     listed by "ARTISTS" on 10 % of the tracks.
class CRealisticPlanner {
public:
    // `credits`: every tag also has the rarer frames (see SRealisticTrack::credits), drawn from
    // a sequence of their own, so that every other value is the collection's without them.
    // `pictures`: every album has a picture, not 40 % of them.
    explicit CRealisticPlanner(std::uint64_t seed = 23, bool credits = false, bool pictures = false)
        : state_(seed), creditState_(seed ^ 0x5A5A5A5A), credits_(credits), pictures_(pictures) {}

    void Next(SRealisticTrack& track);

private:
    struct SAlbum {
        std::string folder, artist, album, year;
        int genre = 0, tracks = 0, tagVersion = 3, kilobits = 128;
        std::uint32_t picture = 0;
        bool pictureFirst = false, hasId3v1 = false, latin1 = false, genreByName = false;
        bool compilation = false, twoDiscs = false;
        std::string albumSort;
        SRealisticTrack::EAudio audio = SRealisticTrack::EAudio::Cbr;
    };

    std::uint64_t Random();
    std::uint64_t CreditRandom();
    void Credits(SRealisticTrack& track);
    int Between(int low, int high); // both included
    std::string Words(std::size_t least, std::size_t most);
    void NextAlbum();
    void Audio(SRealisticTrack& track);

    std::uint64_t state_;
    std::uint64_t creditState_;
    bool credits_;
    bool pictures_;
    SAlbum album_;
    int artistIndex_ = -1;
    int albumsLeft_ = 0;
    int albumOfArtist_ = 0;
    int trackInAlbum_ = 0;
    std::string artistFolder_, artistName_;
};
