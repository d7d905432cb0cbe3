#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each retry follows a write that another process completed, so a writer that keeps losing the
// race still ends; this many in a row means something else keeps changing the path.
constexpr int kAttempts = 100000;

bool LockExclusive(int fd) {
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 || errno != ENOENT;
}

} // namespace

CFileLock::CFileLock(std::string path) : path_(std::move(path)) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // Non-blocking, so that a FIFO put in the profile's place cannot hang the open.
        const int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        const EAttempt result = fd >= 0           ? LockFile(fd)
                                : errno == ENOENT ? LockMissingFile()
                                                  : EAttempt::Failed;
        if (result != EAttempt::Retry)
            return;
    }
}

CFileLock::~CFileLock() {
    for (const int fd : {fileFd_, lockFileFd_}) {
        if (fd >= 0)
            ::close(fd); // closing the last descriptor of the open file releases its lock
    }
}

CFileLock::EAttempt CFileLock::LockFile(int fd) {
    struct stat locked {};
    struct stat named {};
    if (::fstat(fd, &locked) != 0 || !S_ISREG(locked.st_mode) || !LockExclusive(fd)) {
        ::close(fd);
        return EAttempt::Failed;
    }
    if (::stat(path_.c_str(), &named) != 0 || !SameFile(locked, named)) {
        ::close(fd);
        return EAttempt::Retry;
    }
    fileFd_ = fd;
    return EAttempt::Locked;
}

// A lock needs no write access: a lock file another user left behind still serves.
CFileLock::EAttempt CFileLock::LockMissingFile() {
    const int fd =
        ::open(LockFilePath().c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0 || !LockExclusive(fd)) {
        if (fd >= 0)
            ::close(fd);
        return EAttempt::Failed;
    }
    if (Exists(path_)) {
        ::close(fd);
        return EAttempt::Retry;
    }
    lockFileFd_ = fd;
    return EAttempt::Locked;
}

// Those waiting on the lock file find the file once they hold it, and go over to its own lock.
void CFileLock::FileCreated() {
    if (lockFileFd_ >= 0)
        ::unlink(LockFilePath().c_str());
}

// ".NAME.lock" in the file's folder.
std::string CFileLock::LockFilePath() const {
    const std::size_t slash = path_.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string lock = path_.substr(0, nameStart);
    lock += '.';
    lock.append(path_, nameStart);
    lock += ".lock";
    return lock;
}
