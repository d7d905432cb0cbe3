#pragma once

#include "model/TagEdit.h"
#include "model/TagWriteResult.h"

#include <string>

class CFile;
class CMp3File;
class CSafePath;

// Writes an edit into a track's file: into its ID3v2 tag, when it has one and the setting asks
// for it, and into its ID3v1 tag, written whole from the track's values. Beside an ID3v2 tag the
// ID3v1 tag is written only where the file has one; a file without an ID3v2 tag in use gains
// an ID3v1 tag, and an ID3v2 tag (version 2.3, with the edited fields) only when the setting
// asks for it and the edit holds a value that an ID3v1 tag cannot (NeedsId3v2). Only what changes
// is written: a tagged file whose shown values the edit leaves as they are is not touched at all,
// bytes and time, nor is a tag that would say what it says. Not one byte of the audio between the
// tags changes. The edit's cover goes into the ID3v2 tag whatever the setting, since no other tag
// holds one; a file without an ID3v2 tag gains one for it.
//
// A file is written whole or not at all:
// - When the new ID3v2 tag fits the old one's room (its padding), both tags are written in
//   place, in one uninterrupted step (platform/UninterruptedWrite.h).
// - Otherwise the file is written anew beside itself and renamed over its name, keeping its
//   mode, owner and group (platform/ReplacementFile.h); a file with several hard links is
//   refused, since the rename would give the new bytes to one of its names only.
// - The file is reached through links of the user's or root's only (platform/SafePath.h).
// - A tag this writer cannot carry over whole (unsynchronised, compressed or encrypted frames,
//   a form it cannot read to the last byte) refuses the file before any byte changes.
class CTagWriter {
public:
    // `id3v2`: the WriteId3v2 setting; off writes the ID3v1 tag alone.
    explicit CTagWriter(bool id3v2) : id3v2_(id3v2) {}

    // The track itself is not changed: read it again to see what its file now holds.
    STagWriteResult Write(const CMp3File& track, const STagEdit& edit) const;
    // Whether the file at `path` begins with an ID3v2 tag, so that a text of any length has a
    // tag to go to whole.
    static bool HasId3v2(const std::string& path);
    // Whether the edit gives the track a value that its ID3v1 tag cannot hold: an album artist,
    // a disc, or a track number past 255 or beside a comment longer than ID3v1.1 leaves.
    static bool NeedsId3v2(const CMp3File& track, const STagEdit& edit);

    // For tests: called between the checks of the path and the open of the file, where a swap
    // by another user would fall.
    static inline void (*afterChecks)(const std::string& path) = nullptr;

private:
    static STagWriteResult Open(const std::string& path, CSafePath& where, CFile& file);

    bool id3v2_;
};
