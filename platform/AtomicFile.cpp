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

fs::path ReplaceTarget(const std::string& path) {
    std::error_code error;
    if (!fs::is_symlink(path, error))
        return path;
    const fs::path target = fs::canonical(path, error);
    return error ? fs::path(path) : target;
}

// A new file beside `target`, named after it and hidden; -1 if none can be made.
int CreateSibling(const fs::path& target, fs::path& sibling) {
    std::string stem(1, '.');
    stem.append(target.filename().string()).append(1, '.').append(std::to_string(::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        sibling = target.parent_path() / (stem + "." + std::to_string(attempt) + ".tmp");
        const int fd = ::open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

CAtomicFile::EResult CAtomicFile::Replace(const std::string& path, std::string_view bytes,
                                          SOptions options) {
    const fs::path target = ReplaceTarget(path);
    if (options.createFolder) {
        std::error_code error;
        fs::create_directories(target.parent_path().empty() ? "." : target.parent_path(), error);
        if (error)
            return EResult::CannotCreate;
    }
    fs::path sibling;
    const int fd = CreateSibling(target, sibling);
    if (fd < 0)
        return EResult::CannotCreate;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        // Owner first: a change of owner clears the set-id bits that the mode then restores. A
        // process that may not give the file away keeps it as its own.
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
        ::fchmod(fd, old.st_mode & 07777);
    }
    const bool written = CDescriptor::WriteAt(fd, 0, bytes.data(), bytes.size()) &&
                         (!options.sync || ::fsync(fd) == 0);
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(sibling.c_str(), target.c_str()) == 0)
        return EResult::Written;
    ::unlink(sibling.c_str());
    return EResult::WriteFailed;
}
