#pragma once

#include "catalog/AddressKind.h"
#include "catalog/CatalogGroups.h"
#include "catalog/CatalogView.h"
#include "catalog/ChangeCheck.h"
#include "catalog/CheckLevel.h"
#include "catalog/DisplayMode.h"
#include "catalog/TrackReader.h"
#include "model/CoverSource.h"
#include "model/Mp3FileList.h"
#include "model/SnapshotExtras.h"
#include "model/TrackReadOptions.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CAppSettings;
class CIniProfile;
class IReporter;

// The catalog of the current address: its tracks, the artist, genre and album groupings the
// tree shows, and the address's title and kind. Every change reaches the views as update hints.
class CQuavDoc : public CDocument, private CTrackReader::ISink {
public:
    // The files a walk has seen so far, and about how many it will see in all (0: unknown).
    using Progress = std::function<void(std::size_t filesSeen, std::size_t estimate)>;

    // `profile` receives FilePath after each open; null keeps the settings file untouched.
    CQuavDoc(const CAppSettings& settings, CIniProfile* profile, IReporter& reporter);
    ~CQuavDoc() override;

    bool OpenAddress(std::string address);
    void Refresh();
    void RegroupAll();
    void ClearContents();
    void StoreSnapshot();
    // Lists the given folders again and reads every track in them, as after a change on disk
    // that was watched; the rest of the catalog stays. Views see a rebuild.
    void RereadFolders(const std::vector<std::string>& folders);
    // The folders of the address a watch should cover: every folder the walk entered. None for
    // the favourites.
    std::vector<std::string> WatchedFolders() const;
    // The folders the address's walk (or its last look for changes) entered that hold no track,
    // relative to it: with the tracks' folders, every folder the catalog knows.
    const std::vector<std::string>& BareFolders() const { return walk_.bareFolders; }
    bool NewDocument();
    void GetTitleAndKind(std::string& title, EAddressKind& kind) const;
    // The tree's organisation; a change is announced as a rebuild around the mode's hint, and
    // choosing the current mode does nothing.
    EDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(EDisplayMode mode);

    // The window asks that the look for changes of an address opened from its snapshot run after
    // the catalog shows: OpenAddress then starts it on a thread of its own and returns, and
    // `done` is called on that thread when it ends; FinishLook, on the document's thread, then
    // brings the catalog up to date as a re-read does. Without it (the command-line tool), the
    // look is part of the open.
    void DeferLooks(std::function<void()> done) { lookDone_ = std::move(done); }
    bool LookPending() const { return look_.has_value(); }
    // Applies the look's result once it is in; false while it still runs (its `done` is to come).
    bool FinishLook();
    // Waits for the look's end, its result still to be applied: the records are the document's
    // alone again, to be written to.
    void SettleLook();

    // Called while a walk reads files, so that a window can stay painted.
    void SetProgress(Progress progress) { progress_ = std::move(progress); }
    // Ends a walk in progress at the next file. What was read is shown as the catalog, marked
    // incomplete in its title, and no snapshot is written of it.
    void RequestStop() { stopRequested_ = true; }
    bool IsWalking() const { return walking_; }
    bool IsIncomplete() const { return incomplete_; }
    // The command-line tool may leave every snapshot as it is.
    void SetStoreSnapshots(bool store) { storeSnapshots_ = store; }
    // A reader of the track list alone (the command-line tool printing tracks) needs no groups:
    // with grouping off, none are filed and the group lists stay empty.
    void SetGrouping(bool group) { grouping_ = group; }
    // How many files a walk may have read at once where reading waits; 0 reads each as it is
    // found. `always`: even where the files are in memory, to compare the two.
    void SetReadAhead(std::size_t files, bool always = false) {
        readAhead_ = files;
        readAlways_ = always;
    }

    const CMp3FileList& GetTrackList() const { return tracks_; }
    // The groups of the display mode; those of another mode are filed when it is chosen.
    const CCatalogGroups& Groups() const { return groups_; }
    const std::string& Address() const { return address_; }
    // Where the cover of `track` lies, from what the walk noted: its tag's front cover, else an
    // image file of its folder (of the parent for a disc's folder); none when there is none.
    std::optional<SCoverSource> CoverOf(const CMp3File& track) const;
    // Notes again where the covers of `tracks` lie, after their files were written: a tag
    // rewritten may have moved its picture. A file that can no longer be read has none.
    void NoteCoversAgain(const TrackArray& tracks);
    EAddressKind AddressKind() const { return addressKind_; }

private:
    void SetAddress(const std::string& address);
    void ScanAddress(bool force);
    // The directories the address stands for: itself, or the favourites in list order.
    std::vector<std::string> Directories() const;
    // `group`: files the groups once the directory is read, as the last of the address.
    bool ScanDirectory(const std::string& directory, bool force, bool group);
    void ScanFolder(const std::string& directory, const std::string& pattern);
    CMp3File& NewTrack() override;
    CTextPool& Texts() override { return tracks_.Texts(); }
    void TrackRead(bool isTrack, CPictureNote picture) override;
    // Looks at the disk for what changed since the snapshot of `directory` just read (the
    // records from `first` on) where the settings say so, and brings the catalog up to date.
    // `start`: when the look began.
    void LookForChanges(const std::string& directory, std::size_t first, std::int64_t start,
                        bool group, CSnapshotExtras::SWalk& walk);
    // Brings the records from `first` on up to date with what the look found; true when one
    // changed, and the groups must be made again.
    bool ApplyLook(const std::string& base, std::size_t first, std::int64_t start,
                   CChangeCheck::SResult& changes, CSnapshotExtras::SWalk& walk);
    // Starts the look at the snapshot of `directory` just read, the whole catalog, on its thread.
    void StartLook(const std::string& directory, std::int64_t start);
    // Ends a look that runs after the open without applying it: the catalog it looked at goes.
    void DropLook();
    // Lists again what changed on disk in the snapshot of the folder `base` (the records from
    // `first` on); true when a record changed, and the groups must be made again.
    bool BringUpToDate(const std::string& base, std::size_t first,
                       const CChangeCheck::SResult& changes, CSnapshotExtras::SWalk& walk);
    STrackReadOptions ReadOptions() const;
    void UpdateTitle();
    // Files every track in the groups of the display mode.
    void Group();
    void ClearGroups() { groups_.Clear(); }

    const CAppSettings& settings_;
    CIniProfile* profile_;
    IReporter& reporter_;
    Progress progress_;
    std::size_t filesSeen_ = 0;
    std::size_t estimate_ = 0;
    bool walking_ = false;
    bool stopRequested_ = false;
    bool incomplete_ = false;
    // The files the last whole walk of each address saw, for the next walk's estimate.
    std::map<std::string, std::size_t> lastWalks_;
    bool storeSnapshots_ = true;
    bool grouping_ = true;
    std::size_t readAhead_ = 128;
    bool readAlways_ = false;
    // What the walk or the last look for changes of the address knew besides its tracks.
    CSnapshotExtras::SWalk walk_;
    // The snapshot on disk holds the catalog just opened, and what a look needs: an open that
    // found it so writes nothing.
    bool snapshotCurrent_ = false;

    // The look for changes that runs after the open, on the records and walk_ it reads until it
    // ends: nothing writes to them meanwhile.
    struct SPendingLook {
        std::string base;
        std::int64_t start = 0;
        std::future<CChangeCheck::SResult> result;
        // Set by the look's thread as its last step, once the result is as good as in.
        std::shared_ptr<std::atomic<bool>> ended;
    };
    std::function<void()> lookDone_;
    std::optional<SPendingLook> look_;

    CMp3FileList tracks_;
    CCatalogGroups groups_;
    EAddressKind addressKind_ = EAddressKind::None;
    EDisplayMode displayMode_;
    std::string title_;
    std::string address_;
};
