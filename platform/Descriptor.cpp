#include "platform/Descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

std::ptrdiff_t CDescriptor::ReadAt(int fd, std::int64_t offset, void* buffer, std::size_t count) {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, out + done, count - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::ptrdiff_t>(done);
}

bool CDescriptor::ReadToEnd(int fd, std::string& out) {
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

bool CDescriptor::WriteAt(int fd, std::int64_t offset, const void* buffer, std::size_t count) {
    const auto* in = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pwrite(fd, in + done, count - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool CDescriptor::Rewrite(int fd, std::string_view bytes) {
    const auto size = static_cast<off_t>(bytes.size());
    if (size > 0 && ::posix_fallocate(fd, 0, size) != 0)
        return false;
    return WriteAt(fd, 0, bytes.data(), bytes.size()) && ::ftruncate(fd, size) == 0 &&
           ::fsync(fd) == 0;
}
