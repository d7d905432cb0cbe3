#include "catalog/QuavDoc.h"

#include "catalog/Address.h"
#include "catalog/FolderScanner.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <memory>

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
    StoreSnapshot();
    return true;
}

// A stop asked for once the rebuild has begun (a close of the window, say) holds for its walk.
void CQuavDoc::Refresh() {
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
    for (CMp3File* track : tracks_.Tracks())
        Group(track);
    UpdateAllViews(nullptr, EHint::RebuildEnd);
}

void CQuavDoc::ClearContents() {
    ClearGroups();
    tracks_.RemoveAll();
}

void CQuavDoc::ClearGroups() {
    genres_.Clear();
    artists_.Clear();
    albums_.Clear();
    groupMemory_.release();
}

// The favourites are never stored: neither as one snapshot nor one per directory. Nor is a
// catalog whose walk was stopped: the next visit would take part of the folder for all of it.
void CQuavDoc::StoreSnapshot() {
    if (storeSnapshots_ && !incomplete_ && address_ != CAddress::kFavorites && !address_.empty())
        tracks_.SaveSnapshot(address_);
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
    const std::vector<std::string> directories = Directories();
    const auto known = lastWalks_.find(address_);
    estimate_ = known != lastWalks_.end() ? known->second : 0;
    if (estimate_ == 0)
        for (const std::string& directory : directories)
            estimate_ += CMp3FileList::SnapshotRecordCount(directory);
    bool walked = false;
    for (const std::string& directory : directories) {
        if (stopRequested_)
            break;
        walked = !ScanDirectory(directory, force) || walked;
    }
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
bool CQuavDoc::ScanDirectory(const std::string& directory, bool force) {
    if (!force && settings_.UseCachedCatalog != 0) {
        const std::size_t before = tracks_.GetSize();
        switch (tracks_.LoadSnapshot(directory)) {
        case CMp3FileList::ELoadResult::Loaded:
            for (std::size_t i = before; i < tracks_.GetSize(); ++i)
                Group(tracks_.GetAt(i));
            return true;
        case CMp3FileList::ELoadResult::Broken:
            tracks_.Truncate(before);
            break;
        case CMp3FileList::ELoadResult::NotFound:
            break;
        }
    }
    ScanFolder(directory, settings_.FileExt);
    return false;
}

// The walk runs ahead of the reading: a cold disk is then asked for several files at once
// instead of one after the other. Tracks still come in the order the walk finds them.
void CQuavDoc::ScanFolder(const std::string& directory, const std::string& pattern) {
    CReadAheadWindow window(readAhead_,
                            [this](const CReadAheadWindow::SFile& file) { AddFile(file); });
    CFolderScanner scanner(
        pattern, [this, &window](const std::string& dir, const std::string& name, int dirFd) {
            window.Add(dir, name, dirFd);
            return !stopRequested_;
        });
    walking_ = true;
    scanner.Scan(directory);
    window.Flush();
    walking_ = false;
}

// Once a stop is asked for, the files already opened ahead are closed unread.
void CQuavDoc::AddFile(const CReadAheadWindow::SFile& file) {
    if (stopRequested_)
        return;
    CMp3File& track = tracks_.Append();
    const STrackReadOptions options{.exactVbrTime = settings_.ExactVbrTime != 0,
                                    .readId3v2 = settings_.ReadId3v2 != 0};
    if (track.Load(file.directory, file.name, file.file, file.opened, reporter_, options))
        Group(&track);
    else
        tracks_.RemoveLast();
    ++filesSeen_;
    if (progress_)
        progress_(filesSeen_, estimate_);
}

void CQuavDoc::Group(CMp3File* track) {
    artists_.FindOrAdd(track->Artist()).tracks.push_back(track);

    CGenreGroup& genre = genres_.FindOrAdd(track->GetGenreName());
    genre.tracks.push_back(track);
    genre.artists.FindOrAdd(track->Artist()).tracks.push_back(track);

    CAlbumGroup& album = albums_.FindOrAdd(track->Album());
    album.tracks.push_back(track);
    album.artists.FindOrAdd(track->Artist()).tracks.push_back(track);
}
