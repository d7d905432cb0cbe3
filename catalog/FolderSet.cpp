#include "catalog/FolderSet.h"

#include "catalog/ChangeCheck.h"
#include "model/Mp3File.h"

#include <algorithm>
#include <functional>

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

// The runs are counted first, so that the arrays and the index are made near their final
// size; parents beyond the records' own folders make them grow now and then.
CFolderSet::CFolderSet(std::string_view base, std::span<CMp3File* const> records,
                       const CSnapshotExtras::SWalk& walk) {
    std::size_t runs = 0;
    for (std::size_t i = 0; i < records.size(); ++i)
        runs += i == 0 || !SameView(records[i]->Directory(), records[i - 1]->Directory()) ? 1 : 0;
    runs_.reserve(runs);
    const std::size_t folders = runs + runs / 4 + walk.bareFolders.size() + 1;
    folders_.reserve(folders);
    runOf_.reserve(folders);
    std::size_t slots = 16;
    while (slots < folders * 2)
        slots *= 2;
    index_.assign(slots, kNone);
    Add({}, kNone);
    for (const std::string& folder : walk.bareFolders)
        Add(folder, kNone);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string_view folder = CChangeCheck::RelativeFolder(base, *records[i]);
        const auto at = static_cast<std::uint32_t>(i);
        if (!runs_.empty() &&
            (SameView(runs_.back().folder, folder) || runs_.back().folder == folder)) {
            runs_.back().end = at + 1;
            continue;
        }
        runs_.push_back({folder, at, at + 1});
        Add(folder, static_cast<std::uint32_t>(runs_.size() - 1));
    }
}

// With each parent up to the directory; a known one has its parents already.
void CFolderSet::Add(std::string_view folder, std::uint32_t run) {
    for (bool first = true;; first = false) {
        if (const std::uint32_t known = Find(folder); known != kNone) {
            if (first && run != kNone)
                runOf_[known] = run;
            return;
        }
        folders_.push_back(folder);
        runOf_.push_back(first ? run : kNone);
        if (folders_.size() * 2 > index_.size()) {
            index_.assign(index_.size() * 2, kNone);
            for (std::uint32_t known = 0; known < folders_.size(); ++known)
                Place(known);
        } else {
            Place(static_cast<std::uint32_t>(folders_.size() - 1));
        }
        if (folder.empty())
            return;
        folder = Parent(folder);
    }
}

std::uint32_t CFolderSet::Find(std::string_view folder) const {
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = std::hash<std::string_view>{}(folder)&mask; index_[slot] != kNone;
         slot = (slot + 1) & mask)
        if (folders_[index_[slot]] == folder)
            return index_[slot];
    return kNone;
}

void CFolderSet::Place(std::uint32_t folder) {
    const std::size_t mask = index_.size() - 1;
    std::size_t slot = std::hash<std::string_view>{}(folders_[folder]) & mask;
    while (index_[slot] != kNone)
        slot = (slot + 1) & mask;
    index_[slot] = folder;
}

const CFolderSet::SRun* CFolderSet::RunOf(std::string_view folder) const {
    const std::uint32_t found = Find(folder);
    return found == kNone || runOf_[found] == kNone ? nullptr : &runs_[runOf_[found]];
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
