#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// The folders of a walk from its start down to the one being read, each held by a descriptor
// through which its subfolders are opened. Only the start and the deepest few stay open, so a
// chain of any depth fits in the process's descriptor limit; a folder that was closed is opened
// again when the walk comes back up to it.
class CFolderChain {
public:
    using SFolderId = std::pair<dev_t, ino_t>;
    struct SFolderHash {
        std::size_t operator()(const SFolderId& id) const noexcept {
            return std::hash<ino_t>()(id.second) * 31 + std::hash<dev_t>()(id.first);
        }
    };

    static constexpr std::size_t kMaxOpenBelowStart = 32;

    CFolderChain() = default;
    CFolderChain(const CFolderChain&) = delete;
    CFolderChain& operator=(const CFolderChain&) = delete;
    ~CFolderChain();

    // Takes `fd`, the folder entered as `name` from the deepest one (any name for the start).
    void Push(int fd, std::string name, SFolderId id);
    // Closes the deepest folder; the one above it is open again afterwards, or TopFd() is -1.
    void Pop();
    int TopFd() const { return folders_.back().fd; }

    // Opens `name` in `parentFd` (AT_FDCWD for a path) if it is a folder, following a link of
    // the user's or root's only.
    static int OpenFolder(int parentFd, const char* name);
    static bool ReadId(int fd, SFolderId& id);

private:
    struct SFolder {
        int fd;
        std::string name;
        SFolderId id;
    };

    int Reopen(std::size_t level, int childFd) const;
    int ReopenFromStart(std::size_t level) const;

    std::vector<SFolder> folders_;
    std::size_t firstOpen_ = 1; // folders from here to the deepest are open, and the start
};
