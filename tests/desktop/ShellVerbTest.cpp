// Shell verbs against a real player: a desktop entry whose program records its arguments, made
// the default for tracks and playlists in a throw-away desktop configuration. GIO reads that
// configuration once per process, so every case calls Execute in a child process of its own.
#include "desktop/ShellVerb.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using EContent = CShellVerb::EContent;

// Records its arguments, NUL-terminated, once the test lets it go on: a call that waited for
// the player would find the record already there. The wait is bounded so that a failed test
// leaves no player behind for long.
constexpr const char* kRecorder = R"(#!/bin/sh
i=0
while [ ! -e "$0.go" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
printf '%s\0' "$@" >"$0.tmp" 2>/dev/null && mv "$0.tmp" "$0.out" 2>/dev/null
)";

constexpr const char* kDefaults = "[Default Applications]\naudio/mpeg=recorder.desktop\n"
                                  "audio/x-mpegurl=recorder.desktop\n";

// The caller's report comes back as its exit status: this base plus one bit per fact.
constexpr int kReport = 64;

struct SOutcome {
    bool started = false;
    bool recordedAtReturn = false; // the call waited for the player
    bool childLeft = false;        // the player, or its zombie, is still the caller's child
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string DesktopEntry(const std::string& player) {
    return Replace("[Desktop Entry]\nType=Application\nName=Recorder\nExec=\"{p}\" %f\n"
                   "MimeType=audio/mpeg;audio/x-mpegurl;\nActions=Enqueue;\n\n"
                   "[Desktop Action Enqueue]\nName=Add to Queue\nName[fr]=Mettre en file\n"
                   "Exec=\"{p}\" --enqueue %f\n",
                   "{p}", player);
}

// The caller ends after a hang-up of its whole job, as when its terminal closes; it ignores
// the hang-up itself only once the player has started, so the player does not inherit that.
[[noreturn]] void ActAsCaller(const CTempDir& dir, bool withPlayer, const std::string& verb,
                              const std::string& path, EContent content) {
    if (::setpgid(0, 0) != 0 || ::chdir(dir.Path().c_str()) != 0)
        std::_Exit(1);
    ::setenv("XDG_DATA_HOME", (dir / (withPlayer ? "data" : "empty")).c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (dir / "empty").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (dir / "empty").c_str(), 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir / "no-bus").c_str(), 1);
    ::setenv("LANGUAGE", "fr", 1);
    const bool started = CShellVerb::Execute(verb, path, content);
    const bool recorded = fs::exists(dir / "recorder.out");
    const bool childLeft = ::waitpid(-1, nullptr, WNOHANG) != -1;
    std::signal(SIGHUP, SIG_IGN);
    ::kill(0, SIGHUP);
    std::exit(kReport | int{started} | int{recorded} << 1 | int{childLeft} << 2);
}

template <class TCase>
class CShellVerbTest : public testing::TestWithParam<TCase> {
protected:
    void SetUp() override {
        player_ = dir_.Write("recorder", kRecorder);
        ::chmod(player_.c_str(), 0755);
        dir_.Write("data/applications/recorder.desktop", DesktopEntry(player_));
        dir_.Write("config/mimeapps.list", kDefaults);
        dir_.MakeDir("empty");
    }

    SOutcome Run(const std::string& verb, const std::string& path, EContent content,
                 bool withPlayer = true) const {
        std::fflush(nullptr);
        const pid_t caller = ::fork();
        if (caller == 0)
            ActAsCaller(dir_, withPlayer, verb, path, content);
        int status = 0;
        ::waitpid(caller, &status, 0);
        const int report = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
        EXPECT_EQ(report & ~7, kReport) << "the caller failed, status " << status;
        return {(report & 1) != 0, (report & 2) != 0, (report & 4) != 0};
    }

    // Lets the player go on and waits, boundedly, for what it received.
    std::optional<Args> Received() const {
        dir_.Write("recorder.go", "");
        for (int attempt = 0; attempt < 500; ++attempt) {
            if (fs::exists(player_ + ".out")) {
                const std::string bytes = ReadFileBytes(player_ + ".out");
                Args args;
                for (std::size_t at = 0, end; (end = bytes.find('\0', at)) != bytes.npos;
                     at = end + 1)
                    args.push_back(bytes.substr(at, end - at));
                return args;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::nullopt;
    }

    CTempDir dir_;
    std::string player_;
};

struct SDelivery {
    const char* name;
    const char* verb; // "{player}" is the recorder's quoted path
    const char* fileName;
    EContent content;
    Args received; // "%f" is the file's path
};

void PrintTo(const SDelivery& c, std::ostream* out) {
    *out << c.name;
}

using ShellVerbDelivery = CShellVerbTest<SDelivery>;

TEST_P(ShellVerbDelivery, PlayerGetsThePathAndOutlivesItsCaller) {
    const SDelivery& c = GetParam();
    const std::string path = dir_ / c.fileName;
    const SOutcome outcome = Run(Replace(c.verb, "{player}", "'" + player_ + "'"), path, c.content);
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.recordedAtReturn) << "the call waited for the player";
    EXPECT_FALSE(outcome.childLeft) << "the player stayed a child of the caller";
    Args expected;
    for (const std::string& argument : c.received)
        expected.push_back(Replace(argument, "%f", path));
    EXPECT_EQ(Received(), expected);
    EXPECT_FALSE(fs::exists(dir_ / "pwned")) << "a shell read the file name";
}

const SDelivery kDeliveries[] = {
    {"Play", "Play", "My 'song' \"live\".mp3", EContent::Track, {"%f"}},
    {"OpenNotUtf8", "open", "caf\xe9 \xff.mp3", EContent::Track, {"%f"}},
    {"PlayNewlinePlaylist", "PLAY", "~play\nlst.m3u", EContent::Playlist, {"%f"}},
    {"EnqueueById", "enqueue", "$(touch pwned).mp3", EContent::Track, {"--enqueue", "%f"}},
    {"EnqueueByName", "ADD TO QUEUE", "~playlst.m3u", EContent::Playlist, {"--enqueue", "%f"}},
    {"EnqueueByShownName", "mettre en FILE", "a;b.mp3", EContent::Track, {"--enqueue", "%f"}},
    {"CommandLine",
     "{player} --file=%f %f",
     "$(touch pwned).mp3",
     EContent::Track,
     {"--file=%f", "%f"}},
    {"CommandLineQuotes", "{player} %f", "a;b \"c'.mp3", EContent::Track, {"%f"}},
    {"CommandLineBytes",
     "{player} \"x y\" %f",
     "new\nline \xfe.mp3",
     EContent::Playlist,
     {"x y", "%f"}},
};
INSTANTIATE_TEST_SUITE_P(Cases, ShellVerbDelivery, testing::ValuesIn(kDeliveries),
                         [](const auto& row) { return std::string(row.param.name); });

struct SRefusal {
    const char* name;
    const char* verb;
    bool withPlayer;
};

void PrintTo(const SRefusal& c, std::ostream* out) {
    *out << c.name;
}

using ShellVerbRefusal = CShellVerbTest<SRefusal>;

TEST_P(ShellVerbRefusal, NothingStarts) {
    const SRefusal& c = GetParam();
    const SOutcome outcome = Run(c.verb, dir_ / "a.mp3", EContent::Track, c.withPlayer);
    EXPECT_FALSE(outcome.started);
    EXPECT_FALSE(outcome.childLeft);
}

const SRefusal kRefusals[] = {
    {"NoDefaultApplication", "Play", false},
    {"VerbTheAppLacks", "Shuffle", true},
    {"ProgramMissing", "/nonexistent/player %f", true},
    {"Unparsable", "'player %f", true},
};
INSTANTIATE_TEST_SUITE_P(Cases, ShellVerbRefusal, testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
