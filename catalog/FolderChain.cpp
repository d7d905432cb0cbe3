#include "catalog/FolderChain.h"

#include "platform/SafePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void CloseIfOpen(int fd) {
    if (fd >= 0)
        ::close(fd);
}

} // namespace

CFolderChain::~CFolderChain() {
    for (const SFolder& folder : folders_)
        CloseIfOpen(folder.fd);
}

// O_DIRECTORY refuses anything but a folder before it is opened, so a FIFO never blocks here. A
// link that another user put in a shared folder may lead to any folder of the user's: it is
// not followed, whatever it names.
int CFolderChain::OpenFolder(int parentFd, const char* name) {
    bool foreign = false;
    return CSafePath::Open(parentFd, name, O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC,
                           foreign);
}

bool CFolderChain::ReadId(int fd, SFolderId& id) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    id = {st.st_dev, st.st_ino};
    return true;
}

void CFolderChain::Push(int fd, std::string name, SFolderId id) {
    folders_.push_back({fd, std::move(name), id});
    if (folders_.size() - firstOpen_ > kMaxOpenBelowStart) {
        CloseIfOpen(folders_[firstOpen_].fd);
        folders_[firstOpen_].fd = -1;
        ++firstOpen_;
    }
}

void CFolderChain::Pop() {
    const int childFd = folders_.back().fd;
    folders_.pop_back();
    if (!folders_.empty() && folders_.back().fd < 0) {
        folders_.back().fd = Reopen(folders_.size() - 1, childFd);
        firstOpen_ = folders_.size() - 1;
    }
    CloseIfOpen(childFd);
}

// The child's ".." is its parent unless the child was entered through a link; the identity
// check tells the two apart (and notices a folder moved meanwhile).
int CFolderChain::Reopen(std::size_t level, int childFd) const {
    if (childFd >= 0) {
        const int fd = OpenFolder(childFd, "..");
        SFolderId id;
        if (fd >= 0 && ReadId(fd, id) && id == folders_[level].id)
            return fd;
        CloseIfOpen(fd);
    }
    return ReopenFromStart(level);
}

// Down again by name from the start, which never closes: slow for a deep chain, but only
// needed above a folder reached through a link.
int CFolderChain::ReopenFromStart(std::size_t level) const {
    int fd = folders_[0].fd;
    for (std::size_t i = 1; i <= level && fd >= 0; ++i) {
        const int next = OpenFolder(fd, folders_[i].name.c_str());
        if (fd != folders_[0].fd)
            ::close(fd);
        fd = next;
    }
    SFolderId id;
    if (fd >= 0 && !(ReadId(fd, id) && id == folders_[level].id)) {
        ::close(fd);
        fd = -1;
    }
    return fd;
}
