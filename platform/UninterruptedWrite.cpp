#include "platform/UninterruptedWrite.h"

#include "platform/Descriptor.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Writes the ranges in turn; on a failure, puts back what was written (the failing range too,
// which may have been written in part) and returns the error number. Touches nothing but the
// file: it runs in a child that shares the caller's memory.
int WriteAll(int fd, std::int64_t size, std::span<const CUninterruptedWrite::SRange> ranges) {
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const auto& range = ranges[i];
        if (CDescriptor::WriteAt(fd, range.offset, range.bytes.data(), range.bytes.size()))
            continue;
        const int error = errno != 0 ? errno : EIO;
        for (std::size_t k = 0; k <= i; ++k) {
            const auto& done = ranges[k];
            const std::int64_t inside = std::clamp<std::int64_t>(
                size - done.offset, 0, static_cast<std::int64_t>(done.old.size()));
            CDescriptor::WriteAt(fd, done.offset, done.old.data(),
                                 static_cast<std::size_t>(inside));
        }
        [[maybe_unused]] const int cut = ::ftruncate(fd, size);
        return error;
    }
    return 0;
}

} // namespace

int CUninterruptedWrite::Write(int fd, std::int64_t size, std::span<const SRange> ranges) {
    return Run([&] { return WriteAll(fd, size, ranges); });
}

// vfork: the child borrows the caller's memory and stack until it exits, so starting it costs
// no copy of the program; it only makes system calls and leaves with _exit.
int CUninterruptedWrite::Run(const std::function<int()>& step) {
    sigset_t all;
    sigfillset(&all);
    const pid_t child = ::vfork();
    if (child == 0) {
        ::sigprocmask(SIG_SETMASK, &all, nullptr);
        ::_exit(step());
    }
    if (child < 0)
        return step();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return ECHILD;
    }
    if (!WIFEXITED(status))
        return EIO;
    return WEXITSTATUS(status);
}
