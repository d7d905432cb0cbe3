#include "platform/Paths.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

// What the desktop's own tool answers, without its line end; empty when it cannot run.
std::string XdgUserDirMusic() {
    FILE* pipe = ::popen("xdg-user-dir MUSIC 2>/dev/null", "r");
    if (pipe == nullptr)
        return "";
    std::string answer;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        answer += buffer;
    const int status = ::pclose(pipe);
    while (!answer.empty() && answer.back() == '\n')
        answer.pop_back();
    return status == 0 ? answer : "";
}

} // namespace

TEST(Paths, ProfilePathFromTheEnvironment) {
    CTempDir dir;
    CScopedEnv home("HOME", (dir / "home").c_str());
    {
        CScopedEnv profile("QUAVERO_PROFILE", "/somewhere/else.ini");
        EXPECT_EQ(CPaths::ProfilePath(), "/somewhere/else.ini");
    }
    CScopedEnv profile("QUAVERO_PROFILE", "");
    {
        CScopedEnv config("XDG_CONFIG_HOME", (dir / "config/").c_str());
        EXPECT_EQ(CPaths::ProfilePath(), dir / "config/quavero/quavero.ini");
    }
    {
        CScopedEnv config("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(CPaths::ProfilePath(), dir / "home/.config/quavero/quavero.ini");
    }
    CScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(CPaths::ProfilePath(), dir / "home/.config/quavero/quavero.ini");
}

TEST(Paths, MusicFolderFromUserDirs) {
    CTempDir dir;
    CScopedEnv home("HOME", (dir / "home").c_str());
    CScopedEnv config("XDG_CONFIG_HOME", (dir / "config").c_str());
    CScopedEnv music("XDG_MUSIC_DIR", nullptr);
    dir.MakeDir("home/Music");
    dir.MakeDir("home/My \"best\" tunes");
    dir.Write("config/user-dirs.dirs", "# written by the desktop\n"
                                       "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                       "XDG_MUSIC_DIR=\"$HOME/Old tunes\"\n"
                                       "  XDG_MUSIC_DIR=\"$HOME/My \\\"best\\\" tunes/\"\n"
                                       "XDG_MUSIC_DIRECTORY=\"/not/this\"\n");
    const std::string expected = dir / "home/My \"best\" tunes";
    EXPECT_EQ(CPaths::MusicFolder(), expected);
    const std::string tool = XdgUserDirMusic();
    if (!tool.empty()) {
        EXPECT_EQ(CPaths::MusicFolder() + "/", tool) << "the desktop's tool keeps the slash";
    }

    dir.Write("config/user-dirs.dirs", "XDG_MUSIC_DIR=\"" + dir / "srv/music" + "\"\n");
    dir.MakeDir("srv/music");
    EXPECT_EQ(CPaths::MusicFolder(), dir / "srv/music");
    dir.Write("config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/\"\n");
    EXPECT_EQ(CPaths::MusicFolder(), dir / "home");
}

TEST(Paths, MusicFolderFallsBackToMusicThenHome) {
    CTempDir dir;
    CScopedEnv home("HOME", (dir / "home/").c_str());
    CScopedEnv config("XDG_CONFIG_HOME", (dir / "config").c_str());
    CScopedEnv music("XDG_MUSIC_DIR", nullptr);
    dir.MakeDir("home");
    dir.Write("config/user-dirs.dirs", "XDG_MUSIC_DIR=\"relative/is/ignored\"\n");
    EXPECT_EQ(CPaths::MusicFolder(), dir / "home");
    dir.MakeDir("home/Music");
    EXPECT_EQ(CPaths::MusicFolder(), dir / "home/Music");
    // A music folder that the desktop names but that does not exist is passed over.
    dir.Write("config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Gone\"\n");
    EXPECT_EQ(CPaths::MusicFolder(), dir / "home/Music");
    {
        CScopedEnv gone("XDG_MUSIC_DIR", (dir / "gone").c_str());
        dir.Write("config/user-dirs.dirs", "");
        EXPECT_EQ(CPaths::MusicFolder(), dir / "home/Music");
    }
    CScopedEnv root("HOME", "/");
    EXPECT_EQ(CPaths::MusicFolder(), std::filesystem::is_directory("/Music") ? "/Music" : "/");
}

TEST(Paths, TempDirectoryHonoursTmpdir) {
    CTempDir dir;
    {
        CScopedEnv tmpdir("TMPDIR", (dir.Path() + "/").c_str());
        EXPECT_EQ(CPaths::TempDirectory(), dir.Path());
    }
    CScopedEnv tmpdir("TMPDIR", (dir / "missing").c_str());
    EXPECT_EQ(CPaths::TempDirectory(), "/tmp");
}
