#pragma once

#include "model/TrackArray.h"

#include <cstdint>
#include <span>
#include <string_view>

class CArchiveReader;
class CArchiveWriter;
class CMp3File;

// What a snapshot record cannot hold, in one block after the last record, where a reader of the
// records alone never looks ("bytes after the last record are ignored"):
//   magic    archive string "QUAVERO TRACK EXTRAS"
//   then, to the end of the file, sections of
//     id     1 byte (ESection)
//     body   archive string: its length says where the next section starts
// A reader skips the sections it does not know, so later ones can be added; a section that is
// known is read whole or the block is broken. The block is written only when a track has
// something for it, so a snapshot of tracks without extras keeps the records' layout alone.
class CSnapshotExtras {
public:
    // Stored in snapshots: never renumbered.
    enum class ESection : std::uint8_t {
        // count (u32, the number of records) | count x track number (u16, 0: none)
        TrackNumbers = 1,
        // count (u32) | count x (record index (u32, rising) | genre name (archive string))
        GenreNames = 2,
    };

    enum class EResult {
        Absent, // no block of ours after the records: the records stand as read
        Read,
        Broken, // our magic, then a section that does not hold together: nothing was applied
    };

    static constexpr std::string_view kMagic = "QUAVERO TRACK EXTRAS";

    static void Write(CArchiveWriter& archive, const TrackArray& tracks);
    // Reads the block after the records `tracks` (those of this snapshot, in order) and gives
    // them what it holds, once all of it has been read.
    static EResult Read(CArchiveReader& archive, std::span<CMp3File* const> tracks);
};
