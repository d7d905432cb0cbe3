#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sched.h>
#include <spawn.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kCannotSetUp = 3;
constexpr char kAloneVariable[] = "QUAVERO_TEST_ALONE";

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

bool RerunAlone() {
    if (std::getenv(kAloneVariable) != nullptr)
        return false;
    const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
    std::string filter = "--gtest_filter=";
    filter.append(test.test_suite_name()).append(".").append(test.name());
    std::string program = "/proc/self/exe", brief = "--gtest_brief=1";
    char* argv[] = {program.data(), filter.data(), brief.data(), nullptr};
    std::string alone = std::string(kAloneVariable) + "=1";
    std::vector<char*> environment{alone.data()};
    for (char** variable = environ; *variable != nullptr; ++variable)
        environment.push_back(*variable);
    environment.push_back(nullptr);
    pid_t child = 0;
    int status = -1;
    std::fflush(nullptr);
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environment.data()) == 0)
        ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the test failed when run alone (status " << status << "; its output is above)";
    return true;
}
