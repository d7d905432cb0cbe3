#include "catalog/CatalogUpdate.h"

#include "catalog/FilePattern.h"
#include "catalog/FolderChain.h"
#include "catalog/FolderScanner.h"
#include "catalog/FolderSet.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>
#include <unordered_map>
#include <utility>

CCatalogUpdate::CCatalogUpdate(std::string base, std::string pattern, IReporter& reporter,
                               STrackReadOptions options)
    : base_(std::move(base)), pattern_(std::move(pattern)), reporter_(reporter), options_(options) {
}

// A record read now has its picture in added_, a kept one in its owner.
bool CCatalogUpdate::Run(CMp3FileList& owner, std::span<CMp3File* const> records,
                         const CChangeCheck::SResult& changes, bool readListedFolders,
                         CSnapshotExtras::SWalk& walk, CMp3FileList& out) {
    images_ = &owner.FolderImages();
    const auto order = NewOrder(records, changes, readListedFolders, walk);
    images_ = nullptr;
    if (!order)
        return false;
    for (CMp3File* track : *order) {
        const CPictureNote picture = added_.PictureOf(*track);
        out.Take(std::move(*track), picture ? picture : owner.PictureOf(*track));
    }
    added_.RemoveAll();
    return true;
}

bool CCatalogUpdate::Update(CMp3FileList& list, const CChangeCheck::SResult& changes,
                            bool readListedFolders, CSnapshotExtras::SWalk& walk) {
    images_ = &list.FolderImages();
    const auto order = NewOrder(list.Tracks(), changes, readListedFolders, walk);
    images_ = nullptr;
    if (!order)
        return false;
    list.Rearrange(*order, added_);
    return true;
}

std::optional<std::vector<CMp3File*>> CCatalogUpdate::NewOrder(std::span<CMp3File* const> records,
                                                               const CChangeCheck::SResult& changes,
                                                               bool readListedFolders,
                                                               CSnapshotExtras::SWalk& walk) {
    const CFolderSet set(base_, records, walk);
    set_ = &set;
    walked_.clear();
    gone_.clear();
    items_.clear();
    ids_.clear();
    const std::vector<CFolderSet::SRun>& runs = set.Runs();
    // Runs whose records go through items_: those of folders listed again or holding a file to
    // read again. The others stay whole, in their order.
    std::vector<bool> taken(runs.size(), false);
    // The changed folders first, parents before children: what they lost is known once they
    // are listed.
    for (const std::string& folder : changes.folders) {
        if (Gone(folder))
            continue;
        std::span<CMp3File* const> before;
        if (const CFolderSet::SRun* run = set.RunOf(folder)) {
            before = records.subspan(run->begin, run->end - run->begin);
            taken[static_cast<std::size_t>(run - runs.data())] = true;
        }
        ListAgain(folder, before, changes, readListedFolders);
    }
    if (!changes.files.empty())
        ReadAgain(records, changes, taken);
    std::sort(items_.begin(), items_.end(), [](const SItem& a, const SItem& b) {
        return CChangeCheck::WalkOrder(a.folder, a.name, b.folder, b.name);
    });
    // The runs that stay, with the items between them where a walk puts them: an item's folder
    // is never one of those runs', so one comparison of folders places it.
    std::vector<CMp3File*> order;
    order.reserve(records.size() + items_.size());
    std::size_t next = 0;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const CFolderSet::SRun& run = runs[r];
        if (taken[r] || Gone(run.folder))
            continue;
        for (; next < items_.size() &&
               CChangeCheck::WalkOrder(items_[next].folder, items_[next].name, run.folder, {});
             ++next)
            order.push_back(items_[next].track);
        order.insert(order.end(), records.begin() + static_cast<std::ptrdiff_t>(run.begin),
                     records.begin() + static_cast<std::ptrdiff_t>(run.end));
    }
    for (; next < items_.size(); ++next)
        order.push_back(items_[next].track);

    CSnapshotExtras::SWalk updated{.startNs = walk.startNs,
                                   .bareFolders = BareFolders(walk, changes, taken),
                                   .folderIds = {},
                                   .filesStartNs = walk.filesStartNs};
    // A folder listed again as it was changes nothing.
    std::vector<std::string> before = walk.bareFolders;
    std::sort(before.begin(), before.end());
    if (added_.GetSize() == 0 && order.size() == records.size() && updated.bareFolders == before) {
        set_ = nullptr;
        return std::nullopt;
    }
    updated.folderIds = FolderIds(order, updated, walk, changes);
    set_ = nullptr;
    walk = std::move(updated);
    return order;
}

// A folder listed or entered now is known as it was then; any other was looked at and found the
// same folder, so its identity is the one the look found where it did not trust those kept, else
// the one kept. Where one is missing, none is given, and the next look gathers them all.
CSnapshotExtras::SFolderIds CCatalogUpdate::FolderIds(std::span<CMp3File* const> order,
                                                      const CSnapshotExtras::SWalk& next,
                                                      const CSnapshotExtras::SWalk& walk,
                                                      const CChangeCheck::SResult& changes) const {
    const std::size_t count = set_->Folders().size();
    const CSnapshotExtras::SFolderIds& known =
        changes.foundIds.Size() == count ? changes.foundIds : walk.folderIds;
    const CFolderSet after(base_, order, next);
    CSnapshotExtras::SFolderIds ids;
    ids.inodes.reserve(after.Folders().size());
    for (const std::string_view folder : after.Folders()) {
        if (const auto fresh = ids_.find(folder); fresh != ids_.end()) {
            ids.Add(fresh->second.first, fresh->second.second);
            continue;
        }
        const std::uint32_t was = set_->Find(folder);
        if (was == CFolderSet::kNone || known.Size() != count)
            return {};
        ids.Add(known.Device(was), known.inodes[was]);
    }
    return ids;
}

// The runs that hold a file to read again go through items_ whole, the file read anew.
void CCatalogUpdate::ReadAgain(std::span<CMp3File* const> records,
                               const CChangeCheck::SResult& changes, std::vector<bool>& taken) {
    const std::vector<CFolderSet::SRun>& runs = set_->Runs();
    const auto stale = [&](const CMp3File* track) { return changes.files.contains(track); };
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const CFolderSet::SRun& run = runs[r];
        const auto first = records.begin() + static_cast<std::ptrdiff_t>(run.begin);
        const auto last = records.begin() + static_cast<std::ptrdiff_t>(run.end);
        if (taken[r] || std::none_of(first, last, stale))
            continue;
        taken[r] = true;
        for (auto it = first; it != last; ++it) {
            if (stale(*it))
                Read(std::string((*it)->Directory()), std::string((*it)->FileName()));
            else
                items_.push_back({run.folder, (*it)->FileName(), *it});
        }
    }
}

// The folders without a track of their own, as a walk would now enter them: those that had
// none, those entered anew, and those listed again, less those gone and those given tracks.
std::vector<std::string> CCatalogUpdate::BareFolders(const CSnapshotExtras::SWalk& walk,
                                                     const CChangeCheck::SResult& changes,
                                                     const std::vector<bool>& taken) const {
    std::set<std::string_view> withTracks;
    for (const SItem& item : items_)
        withTracks.insert(item.folder);
    const auto keeps = [&](std::string_view folder) {
        if (Gone(folder) || withTracks.contains(folder))
            return false;
        const CFolderSet::SRun* run = set_->RunOf(folder);
        return run == nullptr || taken[static_cast<std::size_t>(run - set_->Runs().data())];
    };
    std::set<std::string> bare;
    for (const std::string& folder : walk.bareFolders)
        if (keeps(folder))
            bare.insert(folder);
    for (const std::string& folder : walked_)
        if (keeps(folder))
            bare.insert(folder);
    for (const std::string& folder : changes.folders)
        if (keeps(folder))
            bare.insert(folder);
    return {bare.begin(), bare.end()};
}

void CCatalogUpdate::ListAgain(const std::string& folder, std::span<CMp3File* const> before,
                               const CChangeCheck::SResult& changes, bool readListedFolders) {
    std::string directory = folder.empty() ? base_ : base_ + folder;
    if (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    const int fd = CFolderChain::OpenFolder(AT_FDCWD, directory.c_str());
    if (fd < 0) {
        gone_.insert(folder);
        if (images_ != nullptr)
            images_->DropBelow(directory);
        return;
    }
    if (CFolderChain::SFolderId id; CFolderChain::ReadId(fd, id))
        ids_.insert_or_assign(folder, id);
    const std::vector<CFolderScanner::SEntry> entries = CFolderScanner::ListFolder(fd);
    ::close(fd);
    NoteImage(directory, entries);
    // The files of a folder that is now another are other files, whatever their names.
    readListedFolders = readListedFolders || changes.replaced.contains(folder);
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
        if (CFolderScanner::MayBeFolder(entry) && !Known(prefix + entry.name))
            WalkNew(prefix + entry.name);
    DropVanished(folder, listed);
}

// The folder's image, as the walk would choose it from the same listing.
void CCatalogUpdate::NoteImage(const std::string& directory,
                               const std::vector<CFolderScanner::SEntry>& entries) {
    if (images_ == nullptr)
        return;
    CFolderImages::CChooser image;
    for (const CFolderScanner::SEntry& entry : entries)
        if (entry.type != DT_DIR)
            image.Offer(entry.name);
    images_->Set(directory, image.Best());
}

// Known subfolders that are no longer listed vanished, with everything below them.
void CCatalogUpdate::DropVanished(const std::string& folder,
                                  const std::set<std::string_view>& listed) {
    const std::size_t prefix = folder.empty() ? 0 : folder.size() + 1;
    for (const std::string_view child : set_->Children(folder))
        if (!listed.contains(child.substr(prefix))) {
            gone_.emplace(child);
            if (images_ != nullptr)
                images_->DropBelow(base_ + std::string(child));
        }
}

// A link to a folder the catalog holds already, or to one above it, is not walked again: a walk
// would have found that folder visited.
void CCatalogUpdate::WalkNew(const std::string& folder) {
    const std::string target = RealPath(base_ + folder);
    if (target.empty())
        return;
    if (realBase_.empty())
        realBase_ = RealPath(base_) + "/";
    const std::string& top = realBase_;
    if (top.starts_with(target + "/") ||
        (target.starts_with(top) && Known(target.substr(top.size())) &&
         target.substr(top.size()) != folder))
        return;
    CFolderScanner scanner(
        pattern_,
        [this](const std::string& directory, const std::string& name, int) {
            Read(directory, name);
            return true;
        },
        [this](const std::string& directory, const CFolderChain::SFolderId& id,
               std::string_view image) {
            if (images_ != nullptr)
                images_->Set(directory, image);
            std::string entered = directory.substr(std::min(directory.size(), base_.size()));
            ids_.insert_or_assign(entered, id);
            walked_.insert(std::move(entered));
        });
    scanner.Scan(base_ + folder);
}

void CCatalogUpdate::Read(const std::string& directory, const std::string& name) {
    CMp3File& track = added_.Append();
    CPictureNote picture;
    if (!track.Load(directory, name, reporter_, options_, &picture)) {
        added_.RemoveLast();
        return;
    }
    added_.PoolLast();
    added_.SetPicture(track, picture);
    items_.push_back({CChangeCheck::RelativeFolder(base_, track), track.FileName(), &track});
}

// The path with every link resolved; empty when it leads nowhere.
std::string CCatalogUpdate::RealPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    std::string resolved = real != nullptr ? real : "";
    std::free(real);
    return resolved;
}

bool CCatalogUpdate::Known(std::string_view folder) const {
    return set_->Contains(folder) || walked_.contains(folder);
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
