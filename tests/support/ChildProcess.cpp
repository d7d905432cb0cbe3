#include "support/ChildProcess.h"

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

EChildResult RunWithOpenFileLimit(std::size_t count, const std::function<bool()>& check) {
    return RunInChild(
        [count] {
            rlimit limit{};
            ::getrlimit(RLIMIT_NOFILE, &limit);
            limit.rlim_cur = count;
            return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
        },
        check);
}

EChildResult RunWithTmpfsMounts(const std::vector<std::string>& mountPoints,
                                const std::function<bool()>& check) {
    return RunInChild(
        [&mountPoints] {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                return false;
            for (const std::string& point : mountPoints)
                if (::mount("none", point.c_str(), "tmpfs", 0, nullptr) != 0)
                    return false;
            return true;
        },
        check);
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
