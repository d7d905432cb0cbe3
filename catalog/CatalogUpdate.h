#pragma once

#include "catalog/ChangeCheck.h"
#include "catalog/FolderChain.h"
#include "catalog/FolderScanner.h"
#include "model/FolderImages.h"
#include "model/Mp3FileList.h"
#include "model/SnapshotExtras.h"
#include "model/TrackReadOptions.h"

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CFolderSet;
class IReporter;

// Brings the records of one directory up to date by listing again only the folders that
// changed: their new files are read, their new subfolders walked, what vanished is dropped, and
// every other record is kept as it is. The records come out in the order a walk of the
// directory would give them now, so the catalog and its snapshot are those of a new walk.
class CCatalogUpdate {
public:
    // `base` is the directory, ending in "/"; files match `pattern` as in a walk.
    CCatalogUpdate(std::string base, std::string pattern, IReporter& reporter,
                   STrackReadOptions options);

    // Moves the records that stay out of `records` (in walk order) into `out`, with the new
    // ones in their places; `walk.bareFolders` and `walk.folderIds` become those of the updated
    // directory. With `readListedFolders`, every file of a folder listed again is read again,
    // not only its new ones, as in a folder that is now another. False, with nothing moved,
    // when the listings found what the records already say.
    // `records` lie in `owner`, which keeps their pictures and the folders' images: the images
    // of the folders listed or entered now are brought up to date there.
    bool Run(CMp3FileList& owner, std::span<CMp3File* const> records,
             const CChangeCheck::SResult& changes, bool readListedFolders,
             CSnapshotExtras::SWalk& walk, CMp3FileList& out);
    // The same for a list that holds the directory's records alone, updated where it lies: the
    // records that stay are not moved.
    bool Update(CMp3FileList& list, const CChangeCheck::SResult& changes, bool readListedFolders,
                CSnapshotExtras::SWalk& walk);

private:
    // The records in their new order, the ones read now among them; none when nothing changed.
    std::optional<std::vector<CMp3File*>> NewOrder(std::span<CMp3File* const> records,
                                                   const CChangeCheck::SResult& changes,
                                                   bool readListedFolders,
                                                   CSnapshotExtras::SWalk& walk);

    struct SItem {
        std::string_view folder;
        std::string_view name;
        CMp3File* track;
    };

    void ListAgain(const std::string& folder, std::span<CMp3File* const> before,
                   const CChangeCheck::SResult& changes, bool readListedFolders);
    void NoteImage(const std::string& directory,
                   const std::vector<CFolderScanner::SEntry>& entries);
    void DropVanished(const std::string& folder, const std::set<std::string_view>& listed);
    void ReadAgain(std::span<CMp3File* const> records, const CChangeCheck::SResult& changes,
                   std::vector<bool>& taken);
    void WalkNew(const std::string& folder);
    void Read(const std::string& directory, const std::string& name);
    static std::string RealPath(const std::string& path);
    bool Known(std::string_view folder) const;
    bool Gone(std::string_view folder) const;
    std::vector<std::string> BareFolders(const CSnapshotExtras::SWalk& walk,
                                         const CChangeCheck::SResult& changes,
                                         const std::vector<bool>& taken) const;
    CSnapshotExtras::SFolderIds FolderIds(std::span<CMp3File* const> order,
                                          const CSnapshotExtras::SWalk& updated,
                                          const CSnapshotExtras::SWalk& walk,
                                          const CChangeCheck::SResult& changes) const;

    std::string base_;
    std::string pattern_;
    std::string realBase_; // the directory with its links resolved, once a new folder needs it
    IReporter& reporter_;
    STrackReadOptions options_;
    const CFolderSet* set_ = nullptr;
    CMp3FileList added_;                        // the records read now
    std::vector<SItem> items_;                  // records of the folders listed or read again
    std::set<std::string, std::less<>> walked_; // folders entered by walks of new subfolders
    std::set<std::string, std::less<>> gone_;   // folders that vanished, with all below them
    // The identities of the folders listed or entered now.
    std::map<std::string, CFolderChain::SFolderId, std::less<>> ids_;
    CFolderImages* images_ = nullptr; // of the list updated
};
