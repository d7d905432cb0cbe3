#include "platform/ReplacementFile.h"

#include "platform/Descriptor.h"
#include "platform/UninterruptedWrite.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

CReplacementFile::CReplacementFile(int folderFd, std::string target, int fd)
    : folderFd_(folderFd), target_(std::move(target)), targetFd_(fd) {}

namespace {

constexpr char kAccessAcl[] = "system.posix_acl_access";

// What `get` fills, read whole: it says how much there is when given no room, and fails with
// ERANGE when what there is grew meanwhile.
template <class Get>
bool ReadWhole(std::vector<char>& out, const Get& get) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return false;
        out.resize(static_cast<std::size_t>(size));
        const ssize_t got = get(out.data(), out.size());
        if (got >= 0) {
            out.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    return false;
}

// The user's own attributes and the access ACL are the user's data: the rewrite fails rather
// than drop one. Others (security.*, trusted.*) are set by the system or need a privilege the
// user lacks; one that cannot be copied is left to what the system gives a new file.
bool MustKeep(std::string_view name) {
    return name.starts_with("user.") || name == kAccessAcl;
}

// An ACL that the new file took from its folder's default ACL is dropped when the old file
// had none, so that the mode alone says who may do what, as before.
bool CopyAttributes(int from, int to) {
    std::vector<char> names;
    if (!ReadWhole(names,
                   [from](char* out, std::size_t room) { return ::flistxattr(from, out, room); }))
        return errno == ENOTSUP;
    bool acl = false;
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size();) {
        const std::string_view name(names.data() + at);
        at += name.size() + 1;
        const bool must = MustKeep(name);
        acl = acl || name == kAccessAcl;
        const bool read = ReadWhole(value, [from, &name](char* out, std::size_t room) {
            return ::fgetxattr(from, name.data(), out, room);
        });
        if ((!read || ::fsetxattr(to, name.data(), value.data(), value.size(), 0) != 0) && must)
            return false;
    }
    if (!acl)
        ::fremovexattr(to, kAccessAcl);
    return true;
}

} // namespace

CReplacementFile::~CReplacementFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        if (named_)
            ::unlinkat(folderFd_, name_.c_str(), 0);
    }
}

// Short whatever the target's name, which may take all of the 255 bytes a name may have. Hidden,
// and not ending in the target's extension, so that no walk lists it.
std::string CReplacementFile::TemporaryName(int attempt) {
    return ".quavero." + std::to_string(::getpid()) + "." + std::to_string(attempt) + ".tmp";
}

// A file without a name (O_TMPFILE) where the file system makes one, so that a kill before the
// commit leaves nothing behind; else a file of a temporary name. Owner first: a change of owner
// clears the set-id bits that the mode then restores. The attributes before the mode, whose
// group bits an ACL's mask follows.
bool CReplacementFile::Create() {
    struct stat old {};
    if (::fstat(targetFd_, &old) != 0)
        return false;
    fd_ = ::openat(folderFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return false;
    named_ = fd_ < 0;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        name_ = TemporaryName(attempt);
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
    return CopyAttributes(targetFd_, fd_) && ::fchmod(fd_, old.st_mode & 07777) == 0;
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

// A file without a name gets one first: the system links a name to a file but never over
// another, so a short temporary one, then renamed over the target. Both steps are one that a
// kill cannot cut, so that no full copy is left under the temporary name. Linking by the
// descriptor itself needs a privilege; by its name in /proc it does not.
int CReplacementFile::NameAndRename(const std::string& byProc) const {
    if (!named_ && ::linkat(fd_, "", folderFd_, name_.c_str(), AT_EMPTY_PATH) != 0) {
        if (errno == EEXIST)
            return EEXIST;
        if (::linkat(AT_FDCWD, byProc.c_str(), folderFd_, name_.c_str(), AT_SYMLINK_FOLLOW) != 0)
            return errno != 0 ? errno : EIO;
    }
    if (::renameat(folderFd_, name_.c_str(), folderFd_, target_.c_str()) != 0) {
        const int error = errno != 0 ? errno : EIO;
        ::unlinkat(folderFd_, name_.c_str(), 0);
        return error;
    }
    return 0;
}

bool CReplacementFile::Commit() {
    if (::fsync(fd_) != 0)
        return false;
    const std::string byProc = "/proc/self/fd/" + std::to_string(fd_);
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        if (!named_)
            name_ = TemporaryName(attempt);
        error = CUninterruptedWrite::Run([this, &byProc] { return NameAndRename(byProc); });
        if (named_)
            break;
    }
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
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
