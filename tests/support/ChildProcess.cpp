#include "support/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kCannotSetUp = 3;

EChildResult RunInChild(const std::function<bool()>& setUp, const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child < 0)
        return EChildResult::Failed;
    if (child == 0)
        ::_exit(!setUp() ? kCannotSetUp : (check() ? 0 : 1));
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status))
        return EChildResult::Failed;
    if (WEXITSTATUS(status) == kCannotSetUp)
        return EChildResult::Skipped;
    return WEXITSTATUS(status) == 0 ? EChildResult::Passed : EChildResult::Failed;
}

} // namespace

EChildResult RunAsNobody(const std::function<bool()>& check) {
    return RunInChild([] { return ::setgid(65534) == 0 && ::setuid(65534) == 0; }, check);
}

EChildResult RunWithFileSizeLimit(std::size_t bytes, const std::function<bool()>& check) {
    return RunInChild(
        [bytes] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{bytes, RLIM_INFINITY};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        check);
}

// The children wait for the pipe to close, so that none has finished before the last has begun.
EChildResult RunTogether(int count, const std::function<bool(int)>& check) {
    int start[2];
    if (::pipe(start) != 0)
        return EChildResult::Failed;
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(start[1]);
            char byte = 0;
            while (::read(start[0], &byte, 1) < 0 && errno == EINTR) {
            }
            ::_exit(check(i) ? 0 : 1);
        }
        if (child > 0)
            children.push_back(child);
    }
    ::close(start[0]);
    ::close(start[1]);
    bool passed = static_cast<int>(children.size()) == count;
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        passed = passed && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return passed ? EChildResult::Passed : EChildResult::Failed;
}

std::ostream& operator<<(std::ostream& out, EChildResult result) {
    switch (result) {
    case EChildResult::Passed:
        return out << "passed";
    case EChildResult::Failed:
        return out << "failed";
    case EChildResult::Skipped:
        return out << "skipped";
    }
    return out;
}
