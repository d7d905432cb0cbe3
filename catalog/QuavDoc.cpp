#include "catalog/QuavDoc.h"

#include "catalog/Address.h"
#include "catalog/CatalogUpdate.h"
#include "catalog/ChangeCheck.h"
#include "catalog/FolderScanner.h"
#include "catalog/FolderSet.h"
#include "catalog/ReadPool.h"
#include "model/Id3v2Picture.h"
#include "platform/File.h"
#include "platform/LowPriority.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <fcntl.h>
#include <future>
#include <memory>
#include <span>
#include <unistd.h>
#include <unordered_set>
#include <utility>

CQuavDoc::CQuavDoc(const CAppSettings& settings, CIniProfile* profile, IReporter& reporter)
    : settings_(settings), profile_(profile), reporter_(reporter),
      displayMode_(static_cast<EDisplayMode>(settings.ViewType)) {}

CQuavDoc::~CQuavDoc() {
    ClearContents();
}

// A failed open changes nothing: not the content, the title, nor the saved address.
bool CQuavDoc::OpenAddress(std::string address) {
    address = CAddress::Normalise(std::move(address));
    if (address != CAddress::kFavorites && !CAddress::DirectoryExists(address))
        return false;
    stopRequested_ = false;
    UpdateAllViews(nullptr, EHint::RebuildBegin);
    ClearContents();
    SetAddress(address);
    ScanAddress(false);
    UpdateTitle();
    if (profile_ != nullptr)
        CAppSettings::WriteFilePath(*profile_, address_);
    UpdateAllViews(nullptr, EHint::RebuildEnd);
    if (!snapshotCurrent_ && !look_)
        StoreSnapshot();
    return true;
}

// A stop asked for once the rebuild has begun (a close of the window, say) holds for its walk.
void CQuavDoc::Refresh() {
    DropLook();
    stopRequested_ = false;
    UpdateAllViews(nullptr, EHint::RebuildBegin);
    ClearContents();
    ScanAddress(true);
    UpdateTitle();
    UpdateAllViews(nullptr, EHint::RebuildEnd);
    StoreSnapshot();
}

void CQuavDoc::RegroupAll() {
    UpdateAllViews(nullptr, EHint::RebuildBegin);
    ClearGroups();
    Group();
    UpdateAllViews(nullptr, EHint::RebuildEnd);
}

void CQuavDoc::ClearContents() {
    DropLook();
    ClearGroups();
    tracks_.RemoveAll();
}

// The favourites are never stored: neither as one snapshot nor one per directory. Nor is a
// catalog whose walk was stopped: the next visit would take part of the folder for all of it.
// Where changes are looked for, the snapshot keeps what the look needs.
void CQuavDoc::StoreSnapshot() {
    if (storeSnapshots_ && !incomplete_ && address_ != CAddress::kFavorites && !address_.empty())
        tracks_.SaveSnapshot(address_, CheckLevel(settings_.CheckForChanges) != ECheckLevel::None
                                           ? &walk_
                                           : nullptr);
}

void CQuavDoc::RereadFolders(const std::vector<std::string>& folders) {
    if (walking_ || address_.empty() || address_ == CAddress::kFavorites)
        return;
    SettleLook();
    FinishLook();
    const std::string base = CMp3FileList::SnapshotBase(address_);
    const std::string_view stem(base.data(), base.size() - 1);
    CChangeCheck::SResult changes;
    for (const std::string& folder : folders) {
        if (folder == stem || folder == base)
            changes.folders.emplace();
        else if (folder.starts_with(base))
            changes.folders.emplace(folder.substr(base.size()));
    }
    if (changes.folders.empty())
        return;
    UpdateAllViews(nullptr, EHint::RebuildBegin);
    ClearGroups();
    const bool changed = CCatalogUpdate(base, settings_.FileExt, reporter_, ReadOptions())
                             .Update(tracks_, changes, true, walk_);
    Group();
    UpdateAllViews(nullptr, EHint::RebuildEnd);
    if (changed)
        StoreSnapshot();
}

std::vector<std::string> CQuavDoc::WatchedFolders() const {
    if (address_.empty() || address_ == CAddress::kFavorites)
        return {};
    const std::string base = CMp3FileList::SnapshotBase(address_);
    std::vector<std::string> folders = CChangeCheck::KnownFolders(base, tracks_.Tracks(), walk_);
    for (std::string& folder : folders) {
        if (folder.empty())
            folder = base.substr(0, std::max<std::size_t>(base.size() - 1, 1));
        else
            folder.insert(0, base);
    }
    return folders;
}

// The address's title, and a word that says so when the walk was stopped.
void CQuavDoc::UpdateTitle() {
    if (!incomplete_) {
        SetTitle(title_);
        return;
    }
    std::string title(CStringTable::Get(EStringId::TitleIncomplete));
    const std::size_t at = title.find("%1");
    if (at != std::string::npos)
        title.replace(at, 2, title_);
    SetTitle(title);
}

// Reopens the address the program started with, whatever has been opened since.
bool CQuavDoc::NewDocument() {
    OpenAddress(settings_.FilePath);
    return true;
}

void CQuavDoc::GetTitleAndKind(std::string& title, EAddressKind& kind) const {
    title = title_;
    kind = addressKind_;
}

void CQuavDoc::SetDisplayMode(EDisplayMode mode) {
    if (displayMode_ == mode)
        return;
    displayMode_ = mode;
    UpdateAllViews(nullptr, EHint::RebuildBegin);
    if (!walking_) {
        ClearGroups();
        Group();
    }
    UpdateAllViews(nullptr, ModeHint(mode));
    UpdateAllViews(nullptr, EHint::RebuildEnd);
}

void CQuavDoc::SetAddress(const std::string& address) {
    address_ = address;
    CAddress::Describe(address_, title_, addressKind_);
}

// "*" stands for each favourite directory in turn, in list order. An empty piece would name
// the process's current directory, which is never what the user meant: it is skipped. So is
// the empty address of a document that never opened one, which the walk would take for "/".
void CQuavDoc::ScanAddress(bool force) {
    filesSeen_ = 0;
    incomplete_ = false;
    snapshotCurrent_ = false;
    const std::vector<std::string> directories = Directories();
    const auto known = lastWalks_.find(address_);
    estimate_ = known != lastWalks_.end() ? known->second : 0;
    if (estimate_ == 0)
        for (const std::string& directory : directories)
            estimate_ += CMp3FileList::SnapshotRecordCount(directory);
    bool walked = false;
    std::size_t scanned = 0;
    for (const std::string& directory : directories) {
        if (stopRequested_)
            break;
        ++scanned;
        walked = !ScanDirectory(directory, force, scanned == directories.size()) || walked;
    }
    if (scanned < directories.size()) // stopped before the last directory, which groups
        Group();
    incomplete_ = stopRequested_;
    if (walked && !incomplete_)
        lastWalks_[address_] = filesSeen_;
}

std::vector<std::string> CQuavDoc::Directories() const {
    if (address_.empty())
        return {};
    if (address_ != CAddress::kFavorites)
        return {address_};
    std::vector<std::string> directories;
    const std::string& favorites = settings_.FavoriteAddresses;
    std::size_t start = 0;
    while (start <= favorites.size()) {
        const std::size_t end = std::min(favorites.find(';', start), favorites.size());
        std::string piece = favorites.substr(start, end - start);
        if (!piece.empty())
            directories.push_back(std::move(piece));
        start = end + 1;
    }
    return directories;
}

// A snapshot that opens is trusted as it is. One that breaks part-way is dropped whole and the
// directory walked instead, so no track of it stays half-grouped. True when the snapshot served.
// A snapshot that the look finds current is left as it is, its walk's start with it: that start
// still vouches for every folder and file, as nothing changed since, and whatever changes after
// the look is later than it; the catalog keeps it too, for a snapshot written later. It is written
// again only where the look found a change (even one that the listings then take back, so that the
// next look need not list it again), where it lacks what the look needs, or where it was read from
// the cache while its folder may now take it.
bool CQuavDoc::ScanDirectory(const std::string& directory, bool force, bool group) {
    const std::int64_t start = CChangeCheck::Now();
    const std::size_t before = tracks_.GetSize();
    if (!force && settings_.UseCachedCatalog != 0) {
        CSnapshotExtras::SWalk walk;
        bool fromCopy = false;
        switch (tracks_.LoadSnapshot(directory, &walk, &fromCopy)) {
        case CMp3FileList::ELoadResult::Loaded:
            snapshotCurrent_ =
                !fromCopy || ::faccessat(AT_FDCWD, directory.c_str(), W_OK, AT_EACCESS) != 0;
            if (lookDone_ && address_ != CAddress::kFavorites &&
                CheckLevel(settings_.CheckForChanges) != ECheckLevel::None) {
                walk_ = std::move(walk);
                StartLook(directory, start);
                if (group)
                    Group();
                return true;
            }
            LookForChanges(directory, before, start, group, walk);
            walk_ = std::move(walk);
            return true;
        case CMp3FileList::ELoadResult::Broken:
            tracks_.Truncate(before);
            break;
        case CMp3FileList::ELoadResult::NotFound:
            break;
        }
    }
    snapshotCurrent_ = false;
    walk_ = {.startNs = start, .bareFolders = {}, .folderIds = {}, .filesStartNs = 0};
    ScanFolder(directory, settings_.FileExt);
    if (group)
        Group();
    return false;
}

// The look at the disk runs while the tracks are grouped: it only reads them, and what it finds
// is rare enough to be grouped again.
void CQuavDoc::LookForChanges(const std::string& directory, std::size_t first, std::int64_t start,
                              bool group, CSnapshotExtras::SWalk& walk) {
    const ECheckLevel level = CheckLevel(settings_.CheckForChanges);
    const std::string base = CMp3FileList::SnapshotBase(directory);
    const auto records = std::span(tracks_.Tracks()).subspan(first);
    std::future<CChangeCheck::SResult> look;
    if (level != ECheckLevel::None)
        look = std::async(std::launch::async, [&] {
            return CChangeCheck::Run(base, settings_.FileExt, records, walk, level);
        });
    if (group)
        Group();
    if (!look.valid())
        return;
    CChangeCheck::SResult changes = look.get();
    if (ApplyLook(base, first, start, changes, walk) && group) {
        ClearGroups();
        Group();
    }
}

bool CQuavDoc::ApplyLook(const std::string& base, std::size_t first, std::int64_t start,
                         CChangeCheck::SResult& changes, CSnapshotExtras::SWalk& walk) {
    const bool lacksIds = changes.foundIds.Size() != 0;
    const bool changed = BringUpToDate(base, first, changes, walk);
    if (!changed && lacksIds)
        walk.folderIds = std::move(changes.foundIds);
    snapshotCurrent_ = snapshotCurrent_ && !changes.Any() && !lacksIds;
    // Where nothing changed, the walk's start still vouches for every folder and file. Else the
    // look's own start vouches for the folders, and for the files where it looked at them; a
    // look at folders alone leaves the files vouched for since they were last looked at (never,
    // without a start: the first nanosecond, before any file's time).
    if (!changes.Any())
        return changed;
    if (CheckLevel(settings_.CheckForChanges) == ECheckLevel::Files)
        walk.filesStartNs = 0;
    else if (walk.filesStartNs == 0)
        walk.filesStartNs = walk.startNs > 0 ? walk.startNs : 1;
    walk.startNs = start;
    return changed;
}

// The look reads the records and walk_ on its thread, as the window shows them; they stay as they
// are until it ends. It gives way to the window: the catalog it checks is already on screen.
void CQuavDoc::StartLook(const std::string& directory, std::int64_t start) {
    SPendingLook look{.base = CMp3FileList::SnapshotBase(directory),
                      .start = start,
                      .result = {},
                      .ended = std::make_shared<std::atomic<bool>>(false)};
    look.result = std::async(std::launch::async, [this, base = look.base, ended = look.ended,
                                                  level = CheckLevel(settings_.CheckForChanges),
                                                  pattern = settings_.FileExt, done = lookDone_] {
        CLowPriority::ForThisThread();
        CChangeCheck::SResult changes =
            CChangeCheck::Run(base, pattern, tracks_.Tracks(), walk_, level);
        ended->store(true);
        done();
        return changes;
    });
    look_ = std::move(look);
}

// What the look found is applied as a re-read is: one rebuild, where there is a change. The
// snapshot the open left as it was is written now, where the look says it must be.
bool CQuavDoc::FinishLook() {
    if (!look_ || !look_->ended->load())
        return false;
    SPendingLook look = std::move(*look_);
    look_.reset();
    CChangeCheck::SResult changes = look.result.get();
    const bool any = changes.Any();
    if (any) {
        UpdateAllViews(nullptr, EHint::RebuildBegin);
        ClearGroups();
    }
    ApplyLook(look.base, 0, look.start, changes, walk_);
    if (any) {
        Group();
        UpdateAllViews(nullptr, EHint::RebuildEnd);
    }
    if (!snapshotCurrent_)
        StoreSnapshot();
    return true;
}

void CQuavDoc::SettleLook() {
    if (look_)
        look_->result.wait();
}

void CQuavDoc::DropLook() {
    SettleLook();
    look_.reset();
}

// A snapshot found to be current costs one look at each folder (and file) and nothing more.
bool CQuavDoc::BringUpToDate(const std::string& base, std::size_t first,
                             const CChangeCheck::SResult& changes, CSnapshotExtras::SWalk& walk) {
    if (!changes.Any())
        return false;
    CCatalogUpdate update(base, settings_.FileExt, reporter_, ReadOptions());
    if (first == 0)
        return update.Update(tracks_, changes, false, walk);
    CMp3FileList fresh;
    if (!update.Run(tracks_, std::span(tracks_.Tracks()).subspan(first), changes, false, walk,
                    fresh))
        return false;
    tracks_.Replace(first, fresh);
    return true;
}

STrackReadOptions CQuavDoc::ReadOptions() const {
    return {.exactVbrTime = settings_.ExactVbrTime != 0, .readId3v2 = settings_.ReadId3v2 != 0};
}

// Where reading waits, the walk runs ahead of it: a cold disk or a share is then asked for many
// files and folders at once instead of one after the other. Tracks still come in the order the
// walk finds them.
void CQuavDoc::ScanFolder(const std::string& directory, const std::string& pattern) {
    CReadPool pool;
    CTrackReader reader(std::min(readAhead_, 4 * pool.Size()), readAlways_, pool, *this, reporter_,
                        ReadOptions());
    // The folders entered, relative to the directory: those left without a track are kept for
    // the look for changes.
    const std::size_t first = tracks_.GetSize();
    const std::string base = CMp3FileList::SnapshotBase(directory);
    std::vector<std::string> entered;
    std::vector<CFolderChain::SFolderId> ids;
    CFolderScanner scanner(
        pattern,
        [this, &reader](const std::string& dir, const std::string& name, int dirFd) {
            reader.Add(dir, name, dirFd);
            return !stopRequested_;
        },
        [this, &entered, &ids, &base](const std::string& dir, const CFolderChain::SFolderId& id,
                                      std::string_view image) {
            entered.push_back(dir.size() < base.size() ? std::string() : dir.substr(base.size()));
            ids.push_back(id);
            tracks_.FolderImages().Set(dir, image);
        });
    scanner.ListAhead(pool, [&reader] { return reader.OnPool(); });
    walking_ = true;
    scanner.Scan(directory);
    reader.Flush();
    walking_ = false;
    // A folder's tracks come one after the other and share its text: one look a folder.
    std::unordered_set<std::string_view> withTracks;
    const char* lastFolder = nullptr;
    for (std::size_t i = first; i < tracks_.GetSize(); ++i) {
        const CMp3File& track = *tracks_.GetAt(i);
        if (i != first && track.Directory().data() == lastFolder)
            continue;
        lastFolder = track.Directory().data();
        withTracks.insert(CChangeCheck::RelativeFolder(base, track));
    }
    for (const std::string& folder : entered)
        if (!withTracks.contains(folder))
            walk_.bareFolders.push_back(folder);
    // Every folder the catalog knows was entered: its identity goes in the catalog's order.
    const CFolderSet known(base, std::span(tracks_.Tracks()).subspan(first), walk_);
    std::vector<std::uint32_t> enteredAs(known.Folders().size(), CFolderSet::kNone);
    for (std::size_t i = 0; i < entered.size(); ++i)
        if (const std::uint32_t folder = known.Find(entered[i]); folder != CFolderSet::kNone)
            enteredAs[folder] = static_cast<std::uint32_t>(i);
    if (std::find(enteredAs.begin(), enteredAs.end(), CFolderSet::kNone) != enteredAs.end())
        return;
    walk_.folderIds.inodes.reserve(enteredAs.size());
    for (const std::uint32_t i : enteredAs)
        walk_.folderIds.Add(ids[i].first, ids[i].second);
}

CMp3File& CQuavDoc::NewTrack() {
    return tracks_.Append();
}

// Once a stop is asked for, the files already being read are dropped.
void CQuavDoc::TrackRead(bool isTrack, CPictureNote picture) {
    if (stopRequested_ || !isTrack) {
        tracks_.RemoveLast();
        if (stopRequested_)
            return;
    } else {
        tracks_.PoolLast();
        tracks_.SetPicture(*tracks_.Tracks().back(), picture);
    }
    ++filesSeen_;
    if (progress_)
        progress_(filesSeen_, estimate_);
}

// The groups are filed once the tracks are all read: the walk shows none before it ends.
void CQuavDoc::Group() {
    if (!grouping_)
        return;
    groups_.SetOptions({.byAlbumArtist = settings_.GroupByAlbumArtist != 0,
                        .detectCompilations = settings_.DetectCompilations != 0,
                        .ignoredArticles = settings_.IgnoredArticles});
    groups_.File(tracks_.Tracks(), displayMode_);
}

namespace {

// What reading a track again for its cover alone finds wrong was said when it was written.
class CQuietReporter : public IReporter {
public:
    void Report(std::string_view /*caption*/, std::string_view /*text*/) override {}
};

} // namespace

// Each file is read as the walk reads it, into a record of its own.
void CQuavDoc::NoteCoversAgain(const TrackArray& tracks) {
    CQuietReporter quiet;
    for (const CMp3File* track : tracks) {
        CMp3File again;
        CPictureNote picture;
        if (!again.Load(std::string(track->Directory()), std::string(track->FileName()), quiet,
                        ReadOptions(), &picture))
            picture = {};
        tracks_.SetPicture(*track, picture);
    }
}

// A picture's place comes from the walk's note, checked against the file as it is now: a note
// read from a snapshot, or made before the file changed, points at none of its bytes past its
// end. A frame's note has its head read here, which finds the image's exact place.
std::optional<SCoverSource> CQuavDoc::CoverOf(const CMp3File& track) const {
    if (const CPictureNote noted = tracks_.PictureOf(track)) {
        std::string path = track.FullPath();
        CFile file;
        if (file.Open(path, CFile::EMode::Read) == CFile::EOpenResult::Opened) {
            const CPictureNote note = CId3v2Picture::Locate(file, noted);
            if (note && std::cmp_less_equal(note.End(), file.Size()))
                return SCoverSource{.path = std::move(path),
                                    .offset = note.Offset(),
                                    .length = note.Length(),
                                    .image = note.Image(),
                                    .embedded = true};
        }
    }
    std::optional<std::string> image = tracks_.FolderImages().ImageFor(track.Directory());
    if (!image)
        return std::nullopt;
    const SCoverSource::EImage kind = CFolderImages::ImageOf(*image);
    return SCoverSource{
        .path = std::move(*image), .offset = 0, .length = 0, .image = kind, .embedded = false};
}
