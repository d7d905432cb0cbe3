#include "catalog/FolderSet.h"

#include "catalog/ChangeCheck.h"
#include "model/Mp3File.h"

#include <algorithm>

namespace {

std::string_view Parent(std::string_view folder) {
    const std::size_t slash = folder.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : folder.substr(0, slash);
}

// The tracks of one folder share its text: the same view is the same folder, without a look at
// the bytes.
bool SameView(std::string_view a, std::string_view b) {
    return a.data() == b.data() && a.size() == b.size();
}

} // namespace

CFolderSet::CFolderSet(std::string_view base, std::span<CMp3File* const> records,
                       const CSnapshotExtras::SWalk& walk) {
    Add({}, kNoRun);
    for (const std::string& folder : walk.bareFolders)
        Add(folder, kNoRun);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string_view folder = CChangeCheck::RelativeFolder(base, *records[i]);
        if (!runs_.empty() &&
            (SameView(runs_.back().folder, folder) || runs_.back().folder == folder)) {
            runs_.back().end = i + 1;
            continue;
        }
        runs_.push_back({folder, i, i + 1});
        Add(folder, runs_.size() - 1);
    }
}

// With each parent up to the directory; a known one has its parents already.
void CFolderSet::Add(std::string_view folder, std::size_t run) {
    const auto [at, added] = index_.emplace(folder, run);
    if (!added) {
        if (run != kNoRun)
            at->second = run;
        return;
    }
    folders_.push_back(folder);
    while (!folder.empty()) {
        folder = Parent(folder);
        if (!index_.emplace(folder, kNoRun).second)
            return;
        folders_.push_back(folder);
    }
}

const CFolderSet::SRun* CFolderSet::RunOf(std::string_view folder) const {
    const auto found = index_.find(folder);
    return found == index_.end() || found->second == kNoRun ? nullptr : &runs_[found->second];
}

// The first few calls look at every folder; later ones at the sorted folders that begin with the
// name, as when every folder of a snapshot is listed again.
std::vector<std::string_view> CFolderSet::Children(std::string_view folder) const {
    std::vector<std::string_view> children;
    if (++calls_ <= kCallsBeforeSorting) {
        for (const std::string_view known : folders_)
            if (!known.empty() && known != folder && Parent(known) == folder)
                children.push_back(known);
        return children;
    }
    if (sorted_.empty()) {
        sorted_ = folders_;
        std::sort(sorted_.begin(), sorted_.end());
    }
    const std::string prefix = folder.empty() ? std::string() : std::string(folder) + '/';
    for (auto it = std::lower_bound(sorted_.begin(), sorted_.end(), std::string_view(prefix));
         it != sorted_.end() && it->starts_with(prefix); ++it) {
        const std::string_view name = it->substr(prefix.size());
        if (!name.empty() && name.find('/') == std::string_view::npos)
            children.push_back(*it);
    }
    return children;
}
