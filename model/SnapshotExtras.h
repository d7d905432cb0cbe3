#pragma once

#include "model/PictureNote.h"
#include "model/TrackArray.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
        // when the walk that found the records began: nanoseconds since 1970 (i64, two u32
        // halves, low first)
        WalkStart = 3,
        // count (u32) | count x folder (archive string, relative to the snapshot's folder)
        BareFolders = 4,
        // the folder the records are below, absolute (archive string): only in a copy kept
        // away from that folder, which must name it to be read for it
        Folder = 5,
        // the identities of the known folders (SFolderIds): count (u32) | devices (u32, 1 to
        // count) | devices x device (u64) | count x inode (u64) | where there are several
        // devices, count x device's place among them (u32); a u64 is two u32 halves, low first
        FolderIds = 6,
        // when the files were last all looked at, where that is before the walk start (a look
        // at the folders alone found a change, and its start vouches for them only): as
        // WalkStart; absent, the walk start
        FilesStart = 7,
        // count (u32, the number of records) | count x disc number (u16, 0: none)
        Discs = 8,
        // count (u32) | count x record index (u32, rising): the tracks marked compilations
        Compilations = 9,
        // count (u32) | count x (record index (u32, rising) | slots (u8, a bit per slot of
        // CRareFields::ESlot, one or more) | per slot set, in slot order, its text (archive
        // string, not empty; the artists each ended by a NUL)). The album artist is written
        // even when it is the artist's text.
        RareTexts = 10,
        // count (u32) | count x (record index (u32, rising) | kind (u8, CPictureNote::EKind, not
        // none) | image (u8, SCoverSource::EImage) | offset (u32) | length (u32)): where the
        // tracks' front covers lie in their tags (CPictureNote)
        Pictures = 11,
        // count (u32) | count x (folder (archive string, relative to the snapshot's folder) |
        // image (archive string, a file name CFolderImages takes)): the folders' cover images
        FolderImages = 12,
    };

    // The identity of each folder a catalog knows, so that a folder put in the place of
    // another under the same name is told from it. Folders are numbered in the order the
    // catalog meets them: the snapshot's folder, then each folder without a record and each
    // record's folder in turn, each followed by those of its parents not met before. A
    // collection of a million tracks knows about a hundred thousand folders: each takes 8 bytes
    // where all lie on one device, as most do, and 12 where they lie on several.
    struct SFolderIds {
        std::vector<std::uint64_t> devices;  // each once, in the order met
        std::vector<std::uint64_t> inodes;   // by folder
        std::vector<std::uint32_t> deviceOf; // by folder, its device's place; empty: the first

        std::size_t Size() const { return inodes.size(); }
        void Add(std::uint64_t device, std::uint64_t inode);
        std::uint64_t Device(std::size_t folder) const {
            return devices[deviceOf.empty() ? 0 : deviceOf[folder]];
        }
        bool Is(std::size_t folder, std::uint64_t device, std::uint64_t inode) const {
            return inodes[folder] == inode && Device(folder) == device;
        }
    };

    // What the walk that made the records knew besides them, for the look for changes on disk.
    struct SWalk {
        std::int64_t startNs = 0; // 0: not known (a snapshot of an older program)
        // The folders it entered that hold no record, relative to the snapshot's folder ("" is
        // that folder itself); the folders that hold one are known from their records.
        std::vector<std::string> bareFolders;
        SFolderIds folderIds;          // none: not known (a snapshot of an older program)
        std::int64_t filesStartNs = 0; // 0: startNs
    };

    // The covers the list keeps beside its records: written from `pictureOf`, read into
    // `pictures` (by record index, rising); `images` by folder, relative to the snapshot's.
    struct SCovers {
        std::function<CPictureNote(const CMp3File&)> pictureOf;
        std::vector<std::pair<std::size_t, CPictureNote>> pictures;
        std::vector<std::pair<std::string, std::string>> images;
    };

    enum class EResult {
        Absent, // no block of ours after the records: the records stand as read
        Read,
        // Our magic, then a section that does not hold together: nothing was applied, unless
        // the file changed under the reader between its check and its reading again, which
        // leaves some tracks given part of it; either way the records are not to be kept.
        Broken,
    };

    static constexpr std::string_view kMagic = "QUAVERO TRACK EXTRAS";

    // `walk` null: no walk sections, the bytes of a program that does not look for changes.
    // `folder` empty: no folder section, as in a snapshot that lies in its folder.
    // `covers`, when given, adds their sections.
    static void Write(CArchiveWriter& archive, const TrackArray& tracks, const SWalk* walk,
                      std::string_view folder = {}, const SCovers* covers = nullptr);
    // Reads the block after the records `tracks` (those of this snapshot, in order) and gives
    // them what it holds, once all of it has been checked (the tracks' sections are then read
    // again from `archive`'s source, never held whole); `walk`, when given, gets the walk's,
    // and `folder` the folder section's (empty without one).
    static EResult Read(CArchiveReader& archive, std::span<CMp3File* const> tracks, SWalk* walk,
                        std::string* folder = nullptr, SCovers* covers = nullptr);
};
