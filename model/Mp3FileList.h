#pragma once

#include "model/FolderImages.h"
#include "model/Mp3File.h"
#include "model/PictureNotes.h"
#include "model/SnapshotExtras.h"
#include "model/TextPool.h"
#include "model/TrackArena.h"
#include "model/TrackArray.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CArchiveReader;
class CArchiveWriter;
class CAtomicFile;
class CFile;

// The owning, ordered list of the catalog's tracks, and its cache snapshot "mp3cache.qvc": the
// records of every track under a directory, so that the next visit need not read the files.
class CMp3FileList {
public:
    enum class ELoadResult {
        NotFound, // no snapshot (or not one of ours): the directory must be walked
        Loaded,
        Broken, // cut short or corrupt; the records read before the fault were appended
    };

    CMp3FileList() = default;
    CMp3FileList(const CMp3FileList&) = delete;
    CMp3FileList& operator=(const CMp3FileList&) = delete;
    ~CMp3FileList() = default;

    CMp3File* GetAt(std::size_t index) const { return tracks_[index]; }
    std::size_t GetSize() const { return tracks_.size(); }
    // All tracks, in order; the array that the tree's root shows.
    const TrackArray& Tracks() const { return tracks_; }
    // A new record with its defaults at the end of the list, to be filled in place.
    CMp3File& Append();
    // Moves the texts of the last record, once filled, into the list's own text pool: the
    // many tracks of a list then cost no heap block each.
    void PoolLast() { tracks_.back()->PoolTexts(texts_); }
    // The pool, for a record filled in place to put its texts there at once.
    CTextPool& Texts() { return texts_; }
    void RemoveLast();
    // Appends a record moved from elsewhere, its texts in this list's pool, with its picture.
    CMp3File& Take(CMp3File&& track, CPictureNote picture = {});
    // Takes over a record made elsewhere; returns its index.
    std::size_t Add(std::unique_ptr<CMp3File> track);
    // Deletes every record, and the folders' images.
    void RemoveAll() {
        Truncate(0);
        images_.Clear();
    }
    // Drops the records from `size` on, as after a snapshot that broke part-way.
    void Truncate(std::size_t size);
    // Drops the records from `first` on and moves those of `records` there, in their order;
    // `records` is left empty.
    void Replace(std::size_t first, CMp3FileList& records);
    // Makes `order` the whole list: each entry one of this list's records, which stays where it
    // is, or one of `added`'s, which moves here; `added` is left empty. A record of this list
    // that `order` leaves out is unlisted but kept until the list is cleared or compacted, as
    // records are unmade in the order they were made; so an update of one folder of a large
    // list moves none of the others.
    void Rearrange(const std::vector<CMp3File*>& order, CMp3FileList& added);

    // True when written, and also when the file cannot be created (read-only medium: there is
    // simply no snapshot); false on a write error, which leaves any previous snapshot intact.
    // A directory that may not take the file and holds none has its copy in the user's cache
    // instead (CSnapshotLocation). `walk`: what the walk knew besides the records, kept where
    // changes are looked for.
    bool SaveSnapshot(const std::string& directory,
                      const CSnapshotExtras::SWalk* walk = nullptr) const;
    // The directory's own snapshot, else, where it holds none, its copy in the cache;
    // `fromCopy`, when given, says which.
    ELoadResult LoadSnapshot(const std::string& directory, CSnapshotExtras::SWalk* walk = nullptr,
                             bool* fromCopy = nullptr);

    // `folder`: the folder a copy kept elsewhere names (empty in the folder's own snapshot).
    void Serialize(CArchiveWriter& archive, std::string_view base,
                   const CSnapshotExtras::SWalk* walk = nullptr,
                   std::string_view folder = {}) const;
    bool Serialize(CArchiveReader& archive, std::string_view base);

    // Where the front cover of a record of this list lies in its tag (CMp3File::Load); none for
    // a record of another list.
    CPictureNote PictureOf(const CMp3File& track) const;
    void SetPicture(const CMp3File& track, CPictureNote picture);
    // The cover images of the folders the list's walks listed (absolute paths). The records'
    // moves, truncations and replacements leave them; a snapshot read adds its own.
    const CFolderImages& FolderImages() const { return images_; }
    CFolderImages& FolderImages() { return images_; }

    static std::string SnapshotBase(const std::string& directory);
    // The count of records the directory's snapshot (or copy) announces; 0 without one.
    static std::size_t SnapshotRecordCount(const std::string& directory);

private:
    static bool ReadMagic(CArchiveReader& archive);
    // Opens the snapshot that LoadSnapshot reads; `folder` is left empty for the directory's
    // own, else given the folder that the copy must name.
    static bool OpenSnapshot(const std::string& base, CFile& file, std::string& folder);
    bool ReadRecords(CArchiveReader& archive, std::string_view base, CSnapshotExtras::SWalk* walk,
                     std::string* folder);
    bool WriteSnapshot(CAtomicFile& file, std::string_view base, const CSnapshotExtras::SWalk* walk,
                       std::string_view folder) const;
    bool SaveCopy(std::string_view base, const CSnapshotExtras::SWalk* walk) const;
    // Makes the records' order that of their making again, leaving out the unlisted ones.
    void Compact();
    void SwapContents(CMp3FileList& other) noexcept;

    CTextPool texts_;        // outlives the records, whose texts it may hold
    CTrackArena arena_;      // owns the records that tracks_ points to
    CPictureNotes pictures_; // by the records' places in arena_
    TrackArray tracks_;
    CFolderImages images_;
    // Once rearranged, tracks_ no longer follows the arena's order: records can no longer be
    // unmade one by one from the end until the list is compacted or cleared.
    bool rearranged_ = false;
};
