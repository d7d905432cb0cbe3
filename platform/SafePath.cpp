#include "platform/SafePath.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kLookFlags = O_PATH | O_NOFOLLOW | O_CLOEXEC;

// The names of `path` still to look up, the next one last.
void PushNames(std::string_view path, std::vector<std::string>& names) {
    std::size_t end = path.size();
    while (end > 0) {
        const std::size_t slash = path.rfind('/', end - 1);
        const std::size_t begin = slash == std::string_view::npos ? 0 : slash + 1;
        if (end > begin && path.substr(begin, end - begin) != ".")
            names.emplace_back(path.substr(begin, end - begin));
        if (slash == std::string_view::npos)
            break;
        end = slash;
    }
}

bool Trusted(const struct stat& link) {
    return link.st_uid == ::geteuid() || link.st_uid == 0;
}

// The text of the link open (O_PATH) as `fd`, read from the very link whose owner was looked at.
// A few file systems give a link no size: room for a whole path then.
bool ReadLink(int fd, std::size_t size, std::string& target) {
    target.resize(std::max<std::size_t>(size, PATH_MAX) + 1);
    const ssize_t got = ::readlinkat(fd, "", target.data(), target.size());
    if (got <= 0 || static_cast<std::size_t>(got) == target.size()) {
        errno = got == 0 ? ENOENT : errno;
        return false;
    }
    target.resize(static_cast<std::size_t>(got));
    return true;
}

// One call when nothing on the way is a link, the common case: ELOOP when one is.
int OpenWithoutLinks(int directoryFd, const char* path, int flags) {
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags | O_NOFOLLOW);
    how.resolve = RESOLVE_NO_SYMLINKS;
    return static_cast<int>(::syscall(SYS_openat2, directoryFd, path, &how, sizeof how));
}

} // namespace

CSafePath::~CSafePath() {
    Close();
}

void CSafePath::Close() {
    if (folder_ >= 0)
        ::close(folder_);
    folder_ = -1;
    name_.clear();
}

namespace {

// A lookup under way: the folder reached and the names left, the next one last.
struct SLookup {
    SLookup() = default;
    SLookup(const SLookup&) = delete;
    SLookup& operator=(const SLookup&) = delete;
    ~SLookup() {
        if (fd >= 0)
            ::close(fd);
    }

    // From the root for an absolute path, else from `directoryFd`.
    bool Start(int directoryFd, std::string_view path) {
        const bool absolute = !path.empty() && path.front() == '/';
        const int next = ::openat(absolute ? AT_FDCWD : directoryFd, absolute ? "/" : ".",
                                  O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
        fd = next;
        return fd >= 0;
    }

    int fd = -1;
    std::vector<std::string> names;
    int links = 0;
    std::string target;
};

enum class EStep { Next, Last, Foreign, Failed };

// The link open (O_PATH) as `entry`, its owner and size in `st`: its names take the place of
// its own.
EStep Follow(SLookup& lookup, int entry, const struct stat& st) {
    if (!Trusted(st))
        return EStep::Foreign;
    if (++lookup.links > CSafePath::kMaxLinks) {
        errno = ELOOP;
        return EStep::Failed;
    }
    if (!ReadLink(entry, static_cast<std::size_t>(st.st_size), lookup.target))
        return EStep::Failed;
    PushNames(lookup.target, lookup.names);
    if (lookup.target.front() == '/' && !lookup.Start(AT_FDCWD, lookup.target))
        return EStep::Failed;
    if (lookup.names.empty()) // a link to "/" or "."
        lookup.names.emplace_back(".");
    return EStep::Next;
}

// A folder is opened with O_DIRECTORY and O_NOFOLLOW together: a link there is refused (ENOTDIR)
// instead of followed, and only then looked at as a link. The last name is looked at, not
// opened.
EStep Step(SLookup& lookup, std::string& name) {
    name = std::move(lookup.names.back());
    lookup.names.pop_back();
    const bool last = lookup.names.empty();
    if (!last) {
        const int next = ::openat(lookup.fd, name.c_str(), kLookFlags | O_DIRECTORY);
        if (next >= 0) {
            ::close(lookup.fd);
            lookup.fd = next;
            return EStep::Next;
        }
        if (errno != ENOTDIR && errno != ELOOP)
            return EStep::Failed;
    }
    const int entry = ::openat(lookup.fd, name.c_str(), kLookFlags);
    struct stat st {};
    const bool link = entry >= 0 && ::fstat(entry, &st) == 0 && S_ISLNK(st.st_mode);
    const EStep step = link ? Follow(lookup, entry, st) : last ? EStep::Last : EStep::Failed;
    if (step == EStep::Failed && entry >= 0 && !link)
        errno = ENOTDIR; // neither folder nor link on the way
    if (entry >= 0) {
        const int error = errno;
        ::close(entry);
        errno = error;
    }
    return step;
}

} // namespace

CSafePath::EResult CSafePath::Find(int directoryFd, std::string_view path) {
    Close();
    if (path.empty()) {
        errno = ENOENT;
        return EResult::Failed;
    }
    SLookup lookup;
    if (!lookup.Start(directoryFd, path))
        return EResult::Failed;
    PushNames(path, lookup.names);
    if (lookup.names.empty()) // "/" or "."
        lookup.names.emplace_back(".");
    std::string name;
    for (;;) {
        switch (Step(lookup, name)) {
        case EStep::Next:
            continue;
        case EStep::Last:
            folder_ = std::exchange(lookup.fd, -1);
            name_ = std::move(name);
            return EResult::Found;
        case EStep::Foreign:
            return EResult::ForeignLink;
        case EStep::Failed:
            return EResult::Failed;
        }
    }
}

// A name that turns into a link between its lookup and its open is looked up again, a few
// times at most.
int CSafePath::Open(int directoryFd, const char* path, int flags, bool& foreign) {
    foreign = false;
    int fd = OpenWithoutLinks(directoryFd, path, flags);
    // A link refused there is ELOOP, or ENOTDIR where a folder was asked for; where the system
    // lacks that call (or a filter forbids it), the lookup name by name does all. A lone name
    // that is no link needs no second look.
    if (fd >= 0 || (errno != ELOOP && errno != ENOTDIR && errno != ENOSYS && errno != EPERM &&
                    errno != EINVAL))
        return fd;
    if (errno == ENOTDIR && std::strchr(path, '/') == nullptr) {
        struct stat st {};
        if (::fstatat(directoryFd, path, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISLNK(st.st_mode)) {
            errno = ENOTDIR;
            return -1;
        }
    }
    CSafePath found;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const EResult result = found.Find(directoryFd, path);
        if (result != EResult::Found) {
            foreign = result == EResult::ForeignLink;
            if (foreign)
                errno = EACCES;
            return -1;
        }
        fd = ::openat(found.FolderFd(), found.Name().c_str(), flags | O_NOFOLLOW);
        if (fd >= 0 || errno != ELOOP)
            return fd;
    }
    return -1;
}
