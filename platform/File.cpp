#include "platform/File.h"

#include "platform/Descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CFile::~CFile() {
    Close();
}

CFile::EOpenResult CFile::Open(const std::string& path, EMode mode) {
    return OpenAt(AT_FDCWD, path, mode);
}

CFile::EOpenResult CFile::OpenAt(int directoryFd, const std::string& name, EMode mode) {
    Close();
    const int flags = (mode == EMode::Read ? O_RDONLY : O_RDWR) | O_NONBLOCK | O_CLOEXEC;
    int fd = ::openat(directoryFd, name.c_str(), flags);
    if (fd < 0) {
        // A directory cannot be opened for writing; it is still not a file, not a failure.
        struct stat st {};
        if (errno == EISDIR ||
            (::fstatat(directoryFd, name.c_str(), &st, 0) == 0 && !S_ISREG(st.st_mode)))
            return EOpenResult::NotRegular;
        return EOpenResult::CannotOpen;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return EOpenResult::NotRegular;
    }
    fd_ = fd;
    size_ = st.st_size;
    return EOpenResult::Opened;
}

void CFile::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    size_ = 0;
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
