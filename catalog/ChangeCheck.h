#pragma once

#include "catalog/CheckLevel.h"
#include "model/SnapshotExtras.h"

#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class CFolderSet;
class CMp3File;

// What changed on disk below a snapshot's folder since the walk that made it began. A folder
// changes when an entry is added, removed or renamed in it, which sets its modification time;
// the change time counts too, as a folder moved into place keeps the modification time it had
// elsewhere. Both are compared with the walk's start, not with the snapshot's own time: a
// change made while that walk ran is then not missed. A folder is also another one when its
// device and inode are not those the snapshot keeps: one renamed into the place of another
// keeps its own times, and so do its subfolders and files. Folders are named relative to the
// snapshot's folder ("" is that folder).
class CChangeCheck {
public:
    struct SResult {
        std::set<std::string, std::less<>> folders; // to be listed again: changed or gone
        // Of those, the ones that are now another folder: every file in them is read again.
        std::set<std::string, std::less<>> replaced;
        std::unordered_set<const CMp3File*> files; // to be read again (files level only)
        // Where the snapshot lacks its folders' identities (that of an older program), those
        // the look found, numbered as CFolderSet numbers the folders: the snapshot is to be
        // written again with them.
        CSnapshotExtras::SFolderIds foundIds;
        bool Any() const { return !folders.empty() || !files.empty(); }
    };

    // `base` ends in "/"; `records` are the snapshot's, in walk order; tracks match `pattern`.
    static SResult Run(const std::string& base, const std::string& pattern,
                       std::span<CMp3File* const> records, const CSnapshotExtras::SWalk& walk,
                       ECheckLevel level);
    // Every folder the snapshot knows, sorted: those of its records and each of their parents,
    // and the folders without a record that the walk entered.
    static std::vector<std::string> KnownFolders(std::string_view base,
                                                 std::span<CMp3File* const> records,
                                                 const CSnapshotExtras::SWalk& walk);
    // The track's folder relative to `base`.
    static std::string_view RelativeFolder(std::string_view base, const CMp3File& track);
    // The walk's order: a folder's files by name, then its subfolders by name, depth first.
    static bool WalkOrder(std::string_view folderA, std::string_view nameA,
                          std::string_view folderB, std::string_view nameB);
    // Now, on the clock the kernel stamps files with.
    static std::int64_t Now();

private:
    // Takes back the folders whose listing shows what the snapshot knows of them.
    static void DropUnchanged(const std::string& base, const std::string& pattern,
                              std::span<CMp3File* const> records, const CFolderSet& set,
                              SResult& result);
};
