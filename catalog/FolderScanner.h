#pragma once

#include "catalog/FilePattern.h"
#include "catalog/FolderChain.h"

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

// The recursive walk of one directory: the matching files of a directory in name order, then
// its subdirectories, depth first. A directory already walked (reached again through a link) is
// not walked twice, which is what ends every loop; a folder named like its parent (a
// self-titled album in an Artist/Album layout) is walked as any other. Each folder is opened
// through its parent's descriptor, so neither depth nor path length is limited.
class CFolderScanner {
public:
    // Given the directory's path, the entry's name, and the directory open while it is read;
    // false ends the walk there.
    using FileFound =
        std::function<bool(const std::string& directory, const std::string& name, int directoryFd)>;

    CFolderScanner(std::string pattern, FileFound onFile);
    // False when FileFound ended the walk before its end.
    bool Scan(std::string directory);

private:
    // What is left to do in one folder of the chain.
    struct SPending {
        std::vector<std::string> subfolders; // entries that may be folders, in name order
        std::size_t next;
        std::size_t parentPathLength;
    };

    struct SEntry {
        std::string name;
        unsigned char type;
    };

    bool Enter(int fd, const std::string& name, bool start);
    void ReadEntries(int fd);
    void Leave();

    CFilePattern pattern_;
    FileFound onFile_;
    std::set<CFolderChain::SFolderId> visited_;
    CFolderChain chain_;
    std::vector<SPending> pending_;
    std::string path_;
    std::vector<char> listing_ = std::vector<char>(32768);
    std::vector<SEntry> entries_; // of the folder being entered
};
