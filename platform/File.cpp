#include "platform/File.h"

#include "platform/Descriptor.h"
#include "platform/SafePath.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

CFile::~CFile() {
    Close();
}

CFile::EOpenResult CFile::Open(const std::string& path, EMode mode) {
    return OpenAt(AT_FDCWD, path, mode);
}

// A directory cannot be opened for writing, and a link is judged by its target: neither is a
// file that failed to open. A link whose target is missing (or loops) is no file at all.
CFile::EOpenResult CFile::WhyNotOpened(int directoryFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(directoryFd, name.c_str(), &st, 0) == 0)
        return S_ISREG(st.st_mode) ? EOpenResult::CannotOpen : EOpenResult::NotRegular;
    const bool noTarget = errno == ENOENT || errno == ENOTDIR || errno == ELOOP;
    if (noTarget && ::fstatat(directoryFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(st.st_mode))
        return EOpenResult::NotRegular;
    return EOpenResult::CannotOpen;
}

namespace {

int OpenFlags(CFile::EMode mode) {
    return (mode == CFile::EMode::Read ? O_RDONLY : O_RDWR) | O_NONBLOCK | O_CLOEXEC;
}

} // namespace

CFile::EOpenResult CFile::OpenAt(int directoryFd, const std::string& name, EMode mode) {
    Close();
    bool foreign = false;
    const int fd = CSafePath::Open(directoryFd, name.c_str(), OpenFlags(mode), foreign);
    if (fd >= 0)
        return Take(fd);
    if (foreign || errno == EISDIR)
        return EOpenResult::NotRegular;
    return WhyNotOpened(directoryFd, name);
}

CFile::EOpenResult CFile::OpenEntry(int directoryFd, const std::string& name, EMode mode) {
    Close();
    const int fd = ::openat(directoryFd, name.c_str(), OpenFlags(mode) | O_NOFOLLOW);
    if (fd >= 0)
        return Take(fd);
    return errno == EISDIR ? EOpenResult::NotRegular : EOpenResult::CannotOpen;
}

// What was opened is what is looked at: the open descriptor's own file.
CFile::EOpenResult CFile::Take(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return EOpenResult::NotRegular;
    }
    fd_ = fd;
    size_ = st.st_size;
    links_ = st.st_nlink;
    return EOpenResult::Opened;
}

void CFile::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    size_ = 0;
    links_ = 0;
}

void CFile::WillNeed(std::int64_t offset, std::int64_t length) const {
    ::posix_fadvise(fd_, offset, length, POSIX_FADV_WILLNEED);
}

// A read that would wait fails at once instead (EAGAIN). A file system that does not know such
// reads refuses them whatever is in memory (EOPNOTSUPP).
std::optional<bool> CFile::InMemory(std::int64_t offset, std::size_t length) const {
    char probe[128];
    iovec range{probe, std::min(length, sizeof probe)};
    const ssize_t got = ::preadv2(fd_, &range, 1, offset, RWF_NOWAIT);
    if (got < 0 && (errno == EOPNOTSUPP || errno == EINVAL))
        return std::nullopt;
    return got == static_cast<ssize_t>(range.iov_len);
}

std::ptrdiff_t CFile::ReadAt(std::int64_t offset, void* buffer, std::size_t count) const {
    return CDescriptor::ReadAt(fd_, offset, buffer, count);
}

bool CFile::WriteAt(std::int64_t offset, const void* buffer, std::size_t count) {
    if (!CDescriptor::WriteAt(fd_, offset, buffer, count))
        return false;
    if (offset + static_cast<std::int64_t>(count) > size_)
        size_ = offset + static_cast<std::int64_t>(count);
    return true;
}

bool CFile::Truncate(std::int64_t length) {
    if (::ftruncate(fd_, length) != 0)
        return false;
    size_ = length;
    return true;
}
