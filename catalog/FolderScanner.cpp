#include "catalog/FolderScanner.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct SEntry {
    std::string name;
    unsigned char type;
};

// The entries of an open folder sorted by name, byte by byte; "." and ".." left out. The
// listing reads through a second descriptor, which the stream owns and closes.
std::vector<SEntry> ReadEntries(int fd) {
    std::vector<SEntry> entries;
    const int listFd = ::dup(fd);
    DIR* dir = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (dir == nullptr) {
        if (listFd >= 0)
            ::close(listFd);
        return entries;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            entries.push_back({std::string(name), entry->d_type});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const SEntry& a, const SEntry& b) { return a.name < b.name; });
    return entries;
}

std::string LastComponent(const std::string& directory) {
    const auto slash = directory.rfind('/');
    return slash == std::string::npos ? directory : directory.substr(slash + 1);
}

} // namespace

CFolderScanner::CFolderScanner(std::string pattern, FileFound onFile)
    : pattern_(std::move(pattern)), onFile_(std::move(onFile)) {}

void CFolderScanner::Scan(std::string directory) {
    if (!directory.empty() && directory.back() == '/')
        directory.pop_back();
    const int fd = CFolderChain::OpenFolder(AT_FDCWD, directory.empty() ? "/" : directory.c_str());
    if (fd < 0)
        return;
    path_ = directory;
    Enter(fd, LastComponent(directory), true);
    while (!pending_.empty()) {
        SPending& top = pending_.back();
        if (top.next == top.subfolders.size() || chain_.TopFd() < 0) {
            Leave();
            continue;
        }
        const std::string name = top.subfolders[top.next++]; // Enter grows pending_
        const int child = CFolderChain::OpenFolder(chain_.TopFd(), name.c_str());
        if (child >= 0)
            Enter(child, name, false);
    }
}

// A folder is known by its own device and inode, read from the open folder: below a mount
// point the parent's device says nothing about the inode numbers.
void CFolderScanner::Enter(int fd, const std::string& name, bool start) {
    CFolderChain::SFolderId id;
    if (!CFolderChain::ReadId(fd, id) || !visited_.insert(id).second) {
        ::close(fd);
        return;
    }
    const std::size_t parentPathLength = path_.size();
    if (!start) {
        path_ += '/';
        path_ += name;
    }
    const std::vector<SEntry> entries = ReadEntries(fd);
    for (const SEntry& entry : entries)
        if (pattern_.Matches(entry.name))
            onFile_(path_, entry.name, fd);
    std::vector<std::string> subfolders;
    for (const SEntry& entry : entries)
        if ((entry.type == DT_DIR || entry.type == DT_LNK || entry.type == DT_UNKNOWN) &&
            entry.name != name)
            subfolders.push_back(entry.name);
    chain_.Push(fd, name, id);
    pending_.push_back({std::move(subfolders), 0, parentPathLength});
}

void CFolderScanner::Leave() {
    path_.resize(pending_.back().parentPathLength);
    pending_.pop_back();
    chain_.Pop();
}
