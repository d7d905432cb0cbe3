#pragma once

#include "catalog/FilePattern.h"

#include <functional>
#include <set>
#include <string>
#include <sys/types.h>
#include <utility>

// The recursive walk of one directory: the matching files of a directory in name order, then
// its subdirectories, depth first. A subdirectory named exactly like its parent is not entered,
// and a directory already walked (reached again through a link) is not walked twice.
class CFolderScanner {
public:
    // Given the directory's path, the entry's name, and the directory open while it is read.
    using FileFound =
        std::function<void(const std::string& directory, const std::string& name, int directoryFd)>;

    CFolderScanner(std::string pattern, FileFound onFile);
    void Scan(std::string directory);

private:
    using SDirectoryId = std::pair<dev_t, ino_t>;

    void Walk(const std::string& directory, SDirectoryId id);

    CFilePattern pattern_;
    FileFound onFile_;
    std::set<SDirectoryId> visited_;
};
