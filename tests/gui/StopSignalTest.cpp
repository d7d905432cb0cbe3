// The real program stopped by the signals with which a session or a terminal ends it: the
// window closes as Exit closes it, and the settings of the run are written.
#include "gui/AppFixture.h"
#include "settings/SettingsKeys.h"

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

using namespace SettingsKey;

class CStopSignal : public CAppFixture, public testing::WithParamInterface<int> {
protected:
    // Waits, boundedly, until the program has opened its address (it writes FilePath then).
    bool WaitForOpen() const {
        for (int i = 0; i < 600 && Stored(kSectionMp3, kFilePath) != Music(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return Stored(kSectionMp3, kFilePath) == Music();
    }
    // The exit status, or -1 when it had to be killed.
    static int WaitForExit(pid_t child) {
        int status = 0;
        for (int i = 0; i < 600; ++i) {
            if (::waitpid(child, &status, WNOHANG) == child)
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return -1;
    }
};

TEST_P(CStopSignal, ClosesTheWindowAndKeepsTheSettings) {
    Track("music/a.mp3", "Ann");
    const std::string music = Music();
    char program[] = QUAVERO_APP;
    std::vector<char*> argv{program, const_cast<char*>(music.c_str()), nullptr};
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, program, nullptr, nullptr, argv.data(), environ), 0);
    ASSERT_TRUE(WaitForOpen());
    ::kill(child, GetParam());
    EXPECT_EQ(WaitForExit(child), 0);
    EXPECT_EQ(Stored(kSectionUser, kViewType), "0");
    EXPECT_EQ(Stored(kSectionUser, "Address0"), music);
    EXPECT_NE(Stored(kSectionUser, kCx), "<absent>");
}

INSTANTIATE_TEST_SUITE_P(Signals, CStopSignal, testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& row) { return std::string(sigabbrev_np(row.param)); });

} // namespace
