#include "platform/AtomicFile.h"

#include "platform/Descriptor.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The name itself, unless the caller asked for a link to be followed and the link is the
// user's own (or the system's): a link that another user made is replaced, not followed.
fs::path ReplaceTarget(const std::string& path, bool followLink) {
    struct stat link {};
    if (!followLink || ::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    if (link.st_uid != ::geteuid() && link.st_uid != 0)
        return path;
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    return error ? fs::path(path) : target;
}

// A new file beside `target`, named after it and hidden; -1 if none can be made.
int CreateSibling(const fs::path& target, unsigned mode, std::string& sibling) {
    std::string stem(1, '.');
    stem.append(target.filename().string()).append(1, '.').append(std::to_string(::getpid()));
    const fs::path folder = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        sibling = (folder / (stem + "." + std::to_string(attempt) + ".tmp")).string();
        const int fd = ::open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                              mode != 0 ? mode : 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    // A name not made here is not this file's to remove later.
    const int error = errno;
    sibling.clear();
    errno = error;
    return -1;
}

// The old file's mode, owner and group, when the name holds a file (a link that is not
// followed has none to give). Owner first: a change of owner clears the set-id bits that the
// mode then restores. A process that may not give the file away keeps it as its own.
void TakeOver(int fd, const fs::path& target, unsigned mode) {
    struct stat old {};
    if (::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
        if (mode == 0)
            ::fchmod(fd, old.st_mode & 07777);
    }
    if (mode != 0)
        ::fchmod(fd, mode);
}

} // namespace

CAtomicFile::EResult CAtomicFile::Replace(const std::string& path, std::string_view bytes,
                                          SOptions options) {
    CAtomicFile file;
    const EResult opened = file.Open(path, options);
    if (opened != EResult::Written)
        return opened;
    file.Write(bytes);
    return file.Commit();
}

CAtomicFile::EResult CAtomicFile::Open(const std::string& path, SOptions options) {
    Abandon();
    const fs::path target = ReplaceTarget(path, options.followLink);
    if (options.createFolder) {
        std::error_code error;
        fs::create_directories(target.parent_path().empty() ? "." : target.parent_path(), error);
        error_ = error.value();
        if (error)
            return EResult::CannotCreate;
    }
    fd_ = CreateSibling(target, options.mode, sibling_);
    error_ = fd_ < 0 ? errno : 0;
    if (fd_ < 0)
        return EResult::CannotCreate;
    TakeOver(fd_, target, options.mode);
    target_ = target.string();
    sync_ = options.sync;
    failed_ = false;
    size_ = 0;
    return EResult::Written;
}

bool CAtomicFile::Write(std::string_view bytes) {
    if (fd_ < 0 || failed_)
        return false;
    failed_ = !CDescriptor::WriteAt(fd_, size_, bytes.data(), bytes.size());
    size_ += static_cast<std::int64_t>(bytes.size());
    return !failed_;
}

CAtomicFile::EResult CAtomicFile::Commit() {
    if (fd_ < 0)
        return EResult::WriteFailed;
    const bool written = !failed_ && (!sync_ || ::fsync(fd_) == 0);
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (written && closed && ::rename(sibling_.c_str(), target_.c_str()) == 0) {
        sibling_.clear();
        return EResult::Written;
    }
    Abandon();
    return EResult::WriteFailed;
}

void CAtomicFile::Abandon() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!sibling_.empty())
        ::unlink(sibling_.c_str());
    sibling_.clear();
}
