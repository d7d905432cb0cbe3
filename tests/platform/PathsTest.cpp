#include "platform/Paths.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

TEST(Paths, MusicFolderFallsBackToMusicThenNone) {
    CTempDir dir;
    CScopedEnv home("HOME", (dir / "home/").c_str());
    CScopedEnv config("XDG_CONFIG_HOME", (dir / "config").c_str());
    CScopedEnv music("XDG_MUSIC_DIR", nullptr);
    dir.MakeDir("home");
    dir.Write("config/user-dirs.dirs", "XDG_MUSIC_DIR=\"relative/is/ignored\"\n");
    EXPECT_EQ(CPaths::MusicFolder(), "") << "the home folder is never walked for lack of one";
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
    EXPECT_EQ(CPaths::MusicFolder(), std::filesystem::is_directory("/Music") ? "/Music" : "");
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

// The private folder is made 0700 in the runtime folder, else in the temporary folder; one at
// that name that another user made, or that others may enter, is passed over for a new one.
TEST(Paths, PrivateFolderIsTheUsersAlone) {
    CTempDir dir;
    const auto mode = [](const std::string& path) {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 && st.st_uid == ::geteuid() ? st.st_mode & 07777
                                                                           : 0u;
    };
    CScopedEnv tmpdir("TMPDIR", dir.Path().c_str());
    {
        CScopedEnv runtime("XDG_RUNTIME_DIR", dir.MakeDir("run").c_str());
        EXPECT_EQ(CPaths::PrivateFolder(), dir / "run/quavero");
        EXPECT_EQ(mode(dir / "run/quavero"), 0700u);
    }
    CScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const std::string guessable = dir / ("quavero-" + std::to_string(::geteuid()));
    EXPECT_EQ(CPaths::PrivateFolder(), guessable);
    EXPECT_EQ(mode(guessable), 0700u);
    ::chmod(guessable.c_str(), 0777);
    const std::string instead = CPaths::PrivateFolder();
    EXPECT_TRUE(instead.starts_with(guessable + "-")) << instead;
    EXPECT_EQ(mode(instead), 0700u);
    ::chmod(guessable.c_str(), 0700);
    ::chown(guessable.c_str(), 65534, 65534);
    EXPECT_EQ(CPaths::PrivateFolder(), instead);
}

// The cache folder is made 0700 when a copy is about to be written, not before. One that is
// another user's, that others may write, or a link (planted where the user's cache is
// shared, say) is not used, even when asked to make it.
TEST(Paths, CacheFolderIsTheUsersOwn) {
    namespace fs = std::filesystem;
    CTempDir dir;
    CScopedEnv cache("XDG_CACHE_HOME", (dir / "xdg/cache/").c_str());
    const std::string folder = dir / "xdg/cache/quavero";
    EXPECT_EQ(CPaths::CacheFolder(false), "") << "made only when asked";
    EXPECT_EQ(CPaths::CacheFolder(true), folder);
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    ::chown(folder.c_str(), 65534, 65534);
    EXPECT_EQ(CPaths::CacheFolder(true), "");
    ::chown(folder.c_str(), ::geteuid(), ::getegid());
    ::chmod(folder.c_str(), 0770);
    EXPECT_EQ(CPaths::CacheFolder(true), "");
    fs::remove(folder);
    fs::create_directory_symlink(dir.MakeDir("elsewhere"), folder);
    EXPECT_EQ(CPaths::CacheFolder(true), "");
    CScopedEnv relative("XDG_CACHE_HOME", "relative");
    CScopedEnv home("HOME", dir.Path().c_str());
    EXPECT_EQ(CPaths::CacheFolder(true), dir / ".cache/quavero");
}
