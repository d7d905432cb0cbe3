#include "catalog/FolderScanner.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace {

struct SEntry {
    std::string name;
    unsigned char type;
};

// The entries of one directory sorted by name, byte by byte; "." and ".." left out.
std::vector<SEntry> ReadEntries(const std::string& directory) {
    std::vector<SEntry> entries;
    DIR* dir = ::opendir(directory.empty() ? "/" : directory.c_str());
    if (dir == nullptr)
        return entries;
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

bool IsDirectory(const std::string& path, unsigned char type) {
    if (type == DT_DIR)
        return true;
    if (type != DT_LNK && type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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
    Walk(directory);
}

bool CFolderScanner::FirstVisit(const std::string& directory) {
    struct stat st {};
    if (::stat(directory.empty() ? "/" : directory.c_str(), &st) != 0)
        return false;
    return visited_.insert({st.st_dev, st.st_ino}).second;
}

void CFolderScanner::Walk(const std::string& directory) {
    if (!FirstVisit(directory))
        return;
    const std::vector<SEntry> entries = ReadEntries(directory);
    for (const SEntry& entry : entries)
        if (pattern_.Matches(entry.name))
            onFile_(directory, entry.name);
    const std::string own = LastComponent(directory);
    for (const SEntry& entry : entries) {
        const std::string path = directory + "/" + entry.name;
        if (entry.name != own && IsDirectory(path, entry.type))
            Walk(path);
    }
}
