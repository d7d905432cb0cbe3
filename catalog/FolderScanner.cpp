#include "catalog/FolderScanner.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string LastComponent(const std::string& directory) {
    const auto slash = directory.rfind('/');
    return slash == std::string::npos ? directory : directory.substr(slash + 1);
}

} // namespace

CFolderScanner::CFolderScanner(std::string pattern, FileFound onFile, FolderEntered onFolder)
    : pattern_(std::move(pattern)), onFile_(std::move(onFile)), onFolder_(std::move(onFolder)) {}

bool CFolderScanner::Scan(std::string directory) {
    if (!directory.empty() && directory.back() == '/')
        directory.pop_back();
    const int fd = CFolderChain::OpenFolder(AT_FDCWD, directory.empty() ? "/" : directory.c_str());
    if (fd < 0)
        return true;
    path_ = directory;
    bool goOn = Enter(fd, LastComponent(directory), true);
    while (!pending_.empty()) {
        if (!goOn) {
            Leave();
            continue;
        }
        SPending& top = pending_.back();
        if (top.next == top.subfolders.size() || chain_.TopFd() < 0) {
            Leave();
            continue;
        }
        const std::string name = top.subfolders[top.next++]; // Enter grows pending_
        const int child = CFolderChain::OpenFolder(chain_.TopFd(), name.c_str());
        if (child >= 0)
            goOn = Enter(child, name, false);
    }
    return goOn;
}

// A folder is known by its own device and inode, read from the open folder: below a mount
// point the parent's device says nothing about the inode numbers.
bool CFolderScanner::Enter(int fd, const std::string& name, bool start) {
    CFolderChain::SFolderId id;
    if (!CFolderChain::ReadId(fd, id) || !visited_.insert(id).second) {
        ::close(fd);
        return true;
    }
    const std::size_t parentPathLength = path_.size();
    if (!start) {
        path_ += '/';
        path_ += name;
    }
    ReadEntries(fd, listing_, entries_);
    if (onFolder_)
        onFolder_(path_);
    bool goOn = true;
    for (const SEntry& entry : entries_)
        if (goOn && pattern_.Matches(entry.name))
            goOn = onFile_(path_, entry.name, fd);
    std::vector<std::string> subfolders;
    for (const SEntry& entry : entries_)
        if (MayBeFolder(entry))
            subfolders.push_back(entry.name);
    chain_.Push(fd, name, id);
    pending_.push_back({std::move(subfolders), 0, parentPathLength});
    return goOn;
}

bool CFolderScanner::MayBeFolder(const SEntry& entry) {
    return entry.type == DT_DIR || entry.type == DT_LNK || entry.type == DT_UNKNOWN;
}

std::vector<CFolderScanner::SEntry> CFolderScanner::ListFolder(int fd) {
    std::vector<char> listing(32768);
    std::vector<SEntry> entries;
    ReadEntries(fd, listing, entries);
    return entries;
}

// Read in batches straight from the folder's descriptor.
void CFolderScanner::ReadEntries(int fd, std::vector<char>& listing, std::vector<SEntry>& entries) {
    entries.clear();
    ssize_t got = 0;
    while ((got = ::getdents64(fd, listing.data(), listing.size())) > 0) {
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(listing.data() + at);
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..")
                entries.push_back({std::string(name), entry->d_type});
            at += entry->d_reclen;
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const SEntry& a, const SEntry& b) { return a.name < b.name; });
}

void CFolderScanner::Leave() {
    path_.resize(pending_.back().parentPathLength);
    pending_.pop_back();
    chain_.Pop();
}
