#include "catalog/FolderScanner.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace {

struct SEntry {
    std::string name;
    ino_t inode;
    unsigned char type;
};

// The entries of an open directory sorted by name, byte by byte; "." and ".." left out.
std::vector<SEntry> ReadEntries(DIR* dir) {
    std::vector<SEntry> entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            entries.push_back({std::string(name), entry->d_ino, entry->d_type});
    }
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
    struct stat st {};
    if (::stat(directory.empty() ? "/" : directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        Walk(directory, {st.st_dev, st.st_ino});
}

// A plain subdirectory is known by its parent's device and the inode its entry names, without
// a system call; one reached through a link is looked up, so that a link back to a directory
// already walked ends the walk there.
void CFolderScanner::Walk(const std::string& directory, SDirectoryId id) {
    if (!visited_.insert(id).second)
        return;
    DIR* dir = ::opendir(directory.empty() ? "/" : directory.c_str());
    if (dir == nullptr)
        return;
    const std::vector<SEntry> entries = ReadEntries(dir);
    for (const SEntry& entry : entries)
        if (pattern_.Matches(entry.name))
            onFile_(directory, entry.name, ::dirfd(dir));
    ::closedir(dir);
    const std::string own = LastComponent(directory);
    for (const SEntry& entry : entries) {
        if (entry.name == own)
            continue;
        const std::string path = directory + "/" + entry.name;
        if (entry.type == DT_DIR) {
            Walk(path, {id.first, entry.inode});
        } else if (entry.type == DT_LNK || entry.type == DT_UNKNOWN) {
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                Walk(path, {st.st_dev, st.st_ino});
        }
    }
}
