#include "catalog/CatalogUpdate.h"

#include "catalog/FilePattern.h"
#include "catalog/FolderChain.h"
#include "catalog/FolderScanner.h"

#include <algorithm>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace {

// A run of records of one folder, as a walk gives them.
struct SRun {
    std::string_view folder;
    std::size_t begin;
    std::size_t end;
};

} // namespace

CCatalogUpdate::CCatalogUpdate(std::string base, std::string pattern, IReporter& reporter,
                               STrackReadOptions options)
    : base_(std::move(base)), pattern_(std::move(pattern)), reporter_(reporter), options_(options) {
}

bool CCatalogUpdate::Run(std::span<CMp3File* const> records, const CChangeCheck::SResult& changes,
                         bool readListedFolders, CSnapshotExtras::SWalk& walk, CMp3FileList& out) {
    const std::vector<std::string> known = CChangeCheck::KnownFolders(base_, records, walk);
    known_ = {known.begin(), known.end()};
    gone_.clear();
    items_.clear();
    std::vector<SRun> runs;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string_view folder = CChangeCheck::RelativeFolder(base_, *records[i]);
        if (runs.empty() || runs.back().folder != folder)
            runs.push_back({folder, i, i});
        runs.back().end = i + 1;
    }
    std::unordered_map<std::string_view, const SRun*> runOf;
    for (const SRun& run : runs)
        runOf.emplace(run.folder, &run);
    // The changed folders first, parents before children: what they lost is known once they
    // are listed.
    for (const std::string& folder : changes.folders) {
        if (Gone(folder))
            continue;
        std::span<CMp3File* const> before;
        if (const auto found = runOf.find(folder); found != runOf.end())
            before =
                records.subspan(found->second->begin, found->second->end - found->second->begin);
        ListAgain(folder, before, changes, readListedFolders);
    }
    std::vector<SItem> kept;
    kept.reserve(records.size());
    for (const SRun& run : runs) {
        if (changes.folders.contains(run.folder) || Gone(run.folder))
            continue;
        for (std::size_t i = run.begin; i < run.end; ++i) {
            CMp3File* track = records[i];
            if (changes.files.contains(track))
                Read(std::string(track->Directory()), std::string(track->FileName()));
            else
                kept.push_back({run.folder, track->FileName(), track});
        }
    }
    const auto order = [](const SItem& a, const SItem& b) {
        return CChangeCheck::WalkOrder(a.folder, a.name, b.folder, b.name);
    };
    std::sort(items_.begin(), items_.end(), order);
    std::vector<SItem> all;
    all.reserve(kept.size() + items_.size());
    std::merge(kept.begin(), kept.end(), items_.begin(), items_.end(), std::back_inserter(all),
               order);

    std::unordered_set<std::string_view> withTracks;
    for (const SItem& item : all)
        withTracks.insert(item.folder);
    std::vector<std::string> bare;
    for (const std::string& folder : known_)
        if (!withTracks.contains(folder) && !Gone(folder))
            bare.push_back(folder);
    // A folder listed again as it was (the snapshot's own folder, which its writing touches,
    // is one) changes nothing.
    std::sort(walk.bareFolders.begin(), walk.bareFolders.end());
    if (added_.GetSize() == 0 && all.size() == records.size() && bare == walk.bareFolders)
        return false;
    walk.bareFolders = std::move(bare);
    for (const SItem& item : all)
        out.Append() = std::move(*item.track);
    added_.RemoveAll();
    return true;
}

void CCatalogUpdate::ListAgain(const std::string& folder, std::span<CMp3File* const> before,
                               const CChangeCheck::SResult& changes, bool readListedFolders) {
    std::string directory = folder.empty() ? base_ : base_ + folder;
    if (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    const int fd = CFolderChain::OpenFolder(AT_FDCWD, directory.c_str());
    if (fd < 0) {
        gone_.insert(folder);
        return;
    }
    const std::vector<CFolderScanner::SEntry> entries = CFolderScanner::ListFolder(fd);
    ::close(fd);
    std::unordered_map<std::string_view, CMp3File*> old;
    for (CMp3File* track : before)
        old.emplace(track->FileName(), track);
    const CFilePattern pattern(pattern_);
    std::set<std::string_view> listed;
    for (const CFolderScanner::SEntry& entry : entries) {
        listed.insert(entry.name);
        if (!pattern.Matches(entry.name))
            continue;
        const auto found = old.find(entry.name);
        if (found != old.end() && !readListedFolders && !changes.files.contains(found->second))
            items_.push_back({folder, found->second->FileName(), found->second});
        else
            Read(directory, entry.name);
    }
    const std::string prefix = folder.empty() ? std::string() : folder + '/';
    for (const CFolderScanner::SEntry& entry : entries)
        if (CFolderScanner::MayBeFolder(entry) && !known_.contains(prefix + entry.name))
            WalkNew(prefix + entry.name);
    // Known subfolders that are no longer listed vanished, with everything below them.
    for (auto it = known_.lower_bound(prefix); it != known_.end() && it->starts_with(prefix);
         ++it) {
        const std::string_view name = std::string_view(*it).substr(prefix.size());
        if (!name.empty() && name.find('/') == std::string_view::npos && !listed.contains(name))
            gone_.insert(*it);
    }
}

void CCatalogUpdate::WalkNew(const std::string& folder) {
    CFolderScanner scanner(
        pattern_,
        [this](const std::string& directory, const std::string& name, int) {
            Read(directory, name);
            return true;
        },
        [this](const std::string& directory) {
            known_.emplace(directory.substr(std::min(directory.size(), base_.size())));
        });
    scanner.Scan(base_ + folder);
}

void CCatalogUpdate::Read(const std::string& directory, const std::string& name) {
    CMp3File& track = added_.Append();
    if (!track.Load(directory, name, reporter_, options_)) {
        added_.RemoveLast();
        return;
    }
    items_.push_back({CChangeCheck::RelativeFolder(base_, track), track.FileName(), &track});
}

// A folder is gone when it or a folder above it vanished.
bool CCatalogUpdate::Gone(std::string_view folder) const {
    if (gone_.empty())
        return false;
    while (true) {
        if (gone_.contains(folder))
            return true;
        const std::size_t slash = folder.rfind('/');
        if (slash == std::string_view::npos)
            return !folder.empty() && gone_.contains(std::string_view());
        folder = folder.substr(0, slash);
    }
}
