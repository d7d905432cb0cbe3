#include "platform/WatchTable.h"

#include <algorithm>
#include <functional>

namespace {

constexpr std::size_t kFirstSlots = 64;
// Mixes the parent's number into the name's hash (the golden ratio's odd 64-bit multiple).
constexpr std::size_t kParentMix = 0x9E3779B97F4A7C15ULL;

} // namespace

void CWatchTable::Reset(std::string_view root) {
    folders_.clear();
    names_.clear();
    byWd_.clear();
    watches_ = 0;
    index_.assign(kFirstSlots, kNone);
    Add(kNone, root);
}

std::string_view CWatchTable::Name(std::uint32_t folder) const {
    const SFolder& entry = folders_[folder];
    return {names_.data() + entry.nameAt, entry.nameSize};
}

std::size_t CWatchTable::Slot(std::uint32_t parent, std::string_view name) const {
    return (std::hash<std::string_view>{}(name) ^ (parent * kParentMix)) & (index_.size() - 1);
}

std::uint32_t CWatchTable::Child(std::uint32_t parent, std::string_view name) const {
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = Slot(parent, name); index_[slot] != kNone; slot = (slot + 1) & mask) {
        const std::uint32_t folder = index_[slot];
        if (folders_[folder].parent == parent && Name(folder) == name)
            return folder;
    }
    return kNone;
}

// Components are looked up from the root down; "." and empty ones do not occur in the catalog's
// relative names, and would only make folders of those names.
std::uint32_t CWatchTable::Make(std::string_view relative) {
    std::uint32_t folder = 0;
    while (!relative.empty()) {
        const std::size_t slash = std::min(relative.find('/'), relative.size());
        const std::string_view name = relative.substr(0, slash);
        relative.remove_prefix(std::min(slash + 1, relative.size()));
        const std::uint32_t child = Child(folder, name);
        folder = child != kNone ? child : Add(folder, name);
    }
    return folder;
}

std::uint32_t CWatchTable::Add(std::uint32_t parent, std::string_view name) {
    const auto folder = static_cast<std::uint32_t>(folders_.size());
    folders_.push_back({.parent = parent,
                        .nameAt = static_cast<std::uint32_t>(names_.size()),
                        .nameSize = static_cast<std::uint16_t>(name.size()),
                        .flags = 0,
                        .wd = -1});
    names_.insert(names_.end(), name.begin(), name.end());
    if (folders_.size() * 2 > index_.size()) {
        index_.assign(index_.size() * 2, kNone);
        for (std::uint32_t known = 0; known < folders_.size(); ++known)
            Place(known);
    } else {
        Place(folder);
    }
    return folder;
}

void CWatchTable::Place(std::uint32_t folder) {
    const std::size_t mask = index_.size() - 1;
    std::size_t slot = Slot(folders_[folder].parent, Name(folder));
    while (index_[slot] != kNone)
        slot = (slot + 1) & mask;
    index_[slot] = folder;
}

std::string CWatchTable::Path(std::uint32_t folder) const {
    std::string path;
    AppendPath(folder, path);
    return path;
}

void CWatchTable::AppendPath(std::uint32_t folder, std::string& out) const {
    if (folder == 0) {
        out += Name(0);
        return;
    }
    AppendPath(folders_[folder].parent, out);
    if (out.empty() || out.back() != '/')
        out += '/';
    out += Name(folder);
}

bool CWatchTable::Within(std::uint32_t folder, std::uint32_t top) const {
    for (; folder != kNone; folder = folders_[folder].parent)
        if (folder == top)
            return true;
    return false;
}

std::uint32_t CWatchTable::FolderOf(int wd) const {
    return wd >= 0 && static_cast<std::size_t>(wd) < byWd_.size()
               ? byWd_[static_cast<std::size_t>(wd)]
               : kNone;
}

bool CWatchTable::SetWatch(std::uint32_t folder, int wd) {
    if (wd < 0 || folders_[folder].wd == wd)
        return wd >= 0;
    const std::uint32_t holder = FolderOf(wd);
    if (holder != kNone)
        return false;
    DropWatch(folder);
    const auto at = static_cast<std::size_t>(wd);
    if (at >= byWd_.size())
        byWd_.resize(std::max(at + 1, byWd_.size() * 2), kNone);
    byWd_[at] = folder;
    folders_[folder].wd = wd;
    ++watches_;
    return true;
}

int CWatchTable::DropWatch(std::uint32_t folder) {
    const int wd = folders_[folder].wd;
    if (wd < 0)
        return -1;
    byWd_[static_cast<std::size_t>(wd)] = kNone;
    folders_[folder].wd = -1;
    --watches_;
    return wd;
}

void CWatchTable::SetKnown(std::uint32_t folder, bool known) {
    folders_[folder].flags = static_cast<std::uint8_t>(known ? folders_[folder].flags | kKnown
                                                             : folders_[folder].flags & ~kKnown);
}

void CWatchTable::ClearSeen() {
    for (SFolder& folder : folders_)
        folder.flags = static_cast<std::uint8_t>(folder.flags & ~kSeen);
}

std::size_t CWatchTable::Bytes() const {
    return folders_.capacity() * sizeof(SFolder) + names_.capacity() +
           (index_.capacity() + byWd_.capacity()) * sizeof(std::uint32_t);
}
