#include "platform/ReplacementFile.h"

#include "platform/Descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

CReplacementFile::CReplacementFile(int folderFd, std::string target, int fd)
    : folderFd_(folderFd), target_(std::move(target)), targetFd_(fd) {}

CReplacementFile::~CReplacementFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlinkat(folderFd_, name_.c_str(), 0);
    }
}

// The name is hidden and does not end in the target's extension, so no walk lists it if a kill
// leaves it behind. Owner first: a change of owner clears the set-id bits that the mode then
// restores.
bool CReplacementFile::Create() {
    struct stat old {};
    if (::fstat(targetFd_, &old) != 0)
        return false;
    std::string stem(1, '.');
    stem.append(target_).append(1, '.').append(std::to_string(::getpid()));
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        name_ = stem + "." + std::to_string(attempt) + ".tmp";
        fd_ = ::openat(folderFd_, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST)
            return false;
    }
    if (fd_ < 0)
        return false;
    struct stat made {};
    if (::fstat(fd_, &made) != 0)
        return false;
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
        ::fchown(fd_, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd_, old.st_mode & 07777) == 0;
}

bool CReplacementFile::Write(const void* bytes, std::size_t count) {
    if (!CDescriptor::WriteAt(fd_, written_, bytes, count))
        return false;
    written_ += static_cast<std::int64_t>(count);
    return true;
}

// copy_file_range moves the bytes inside the system; where it cannot (another file system, an
// old kernel), a plain read and write do.
bool CReplacementFile::CopyFromTarget(std::int64_t offset, std::int64_t length) {
    off_t in = offset;
    off_t out = written_;
    while (length > 0) {
        const ssize_t n =
            ::copy_file_range(targetFd_, &in, fd_, &out, static_cast<std::size_t>(length), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        length -= n;
        written_ += n;
    }
    std::vector<char> buffer(length > 0 ? 1 << 16 : 0);
    while (length > 0) {
        const std::size_t want =
            std::min<std::size_t>(buffer.size(), static_cast<std::size_t>(length));
        const std::ptrdiff_t got = CDescriptor::ReadAt(targetFd_, in, buffer.data(), want);
        if (got <= 0) {
            errno = got == 0 ? EIO : errno;
            return false;
        }
        if (!Write(buffer.data(), static_cast<std::size_t>(got)))
            return false;
        in += got;
        length -= got;
    }
    return true;
}

bool CReplacementFile::Commit() {
    if (::fsync(fd_) != 0)
        return false;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::renameat(folderFd_, name_.c_str(), folderFd_, target_.c_str()) != 0) {
        const int error = errno;
        ::unlinkat(folderFd_, name_.c_str(), 0);
        errno = error;
        return false;
    }
    const int dir = ::openat(folderFd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
