#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One track of the realistic collection: where it lies, what its tags say and how its bytes
// are laid out, all drawn from the collection's seed. The expected values a correct reader
// gives follow from it.
struct SRealisticTrack {
    enum class EAudio : std::uint8_t {
        Vbr,     // a "Xing" header with frame and byte counts in the first frame
        CbrInfo, // constant bitrate, an "Info" header in the first frame
        Cbr,     // constant bitrate, no header of the encoder
    };

    std::string folder; // "artist/album", relative to the collection's root
    std::string fileName;
    std::string title, artist, album, year, comment; // UTF-8
    int genre = 0;                                   // ID3v1 number
    int track = 0, trackCount = 0;

    int tagVersion = 3;        // ID3v2.3 or 2.4
    std::uint32_t tagSize = 0; // the whole ID3v2 tag, its header included
    std::uint32_t picture = 0; // body size of the picture frame; 0 for none
    bool pictureFirst = false; // the picture stands before the text frames
    bool latin1Texts = false;  // an ID3v2.3 tag's texts in ISO-8859-1 (else UTF-16)
    bool genreByName = false;  // the genre frame holds the name, not "(17)"
    bool hasId3v1 = false;     // an ID3v1 tag in the last 128 bytes
    EAudio audio = EAudio::Cbr;
    int kilobits = 128;           // the constant bitrate; for VBR the first frame's
    std::uint32_t frames = 0;     // VBR and "Info" frame count
    std::uint64_t audioBytes = 0; // from the first frame header to the ID3v1 tag

    // The frames fewer taggers write, only in a collection made with them (every tag then has
    // an album artist and a disc): TPE2, TPOS "disc/discs", TCMP "1", TSOP and TSO2 (one sort
    // name), TSOA, and the user text "ARTISTS" (names separated by NULs).
    bool credits = false;
    std::string albumArtist;
    int disc = 0, discCount = 0;
    bool compilation = false;
    std::string artistSort, albumSort, artists;

    std::uint64_t Size() const { return tagSize + audioBytes + (hasId3v1 ? 128 : 0); }
    // Playing time as a correct reader gives it: the frame count for VBR, else the audio's
    // bytes (the file less both tags) at the constant bitrate.
    double Seconds() const;
    // The bitrate a reader shows: the constant one, or the average over the counted frames.
    int ShownKilobits() const;
    std::string_view GenreName() const;
    // The texts a track keeps for itself: file name, title, artist, album, year and comment.
    std::size_t OwnTextBytes() const;
};
