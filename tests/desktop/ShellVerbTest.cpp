// Shell verbs against a real player: a desktop entry whose program records its arguments, made
// the default for tracks and playlists in a throw-away desktop configuration. GIO reads that
// configuration once per process, so every case calls Execute in a child process of its own.
#include "desktop/ShellVerb.h"
#include "support/RecordingPlayer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using EContent = CShellVerb::EContent;

// The caller's report comes back as its exit status: this base plus one bit per fact.
constexpr int kReport = 64;

struct SOutcome {
    bool started = false;
    bool recordedAtReturn = false; // the call waited for the player
    bool childLeft = false;        // the player, or its zombie, is still the caller's child
};

// The caller ends after a hang-up of its whole job, as when its terminal closes; it ignores
// the hang-up itself only once the player has started, so the player does not inherit that.
[[noreturn]] void ActAsCaller(const CTempDir& dir, const CRecordingPlayer& player, bool withPlayer,
                              const std::string& verb, const std::string& path, EContent content) {
    if (::setpgid(0, 0) != 0 || ::chdir(dir.Path().c_str()) != 0)
        std::_Exit(1);
    player.UseDesktop(withPlayer);
    ::setenv("LANGUAGE", "fr", 1);
    const bool started = CShellVerb::Execute(verb, path, content) == CShellVerb::EResult::Started;
    const bool recorded = player.HasRecorded();
    const bool childLeft = ::waitpid(-1, nullptr, WNOHANG) != -1;
    std::signal(SIGHUP, SIG_IGN);
    ::kill(0, SIGHUP);
    std::exit(kReport | int{started} | int{recorded} << 1 | int{childLeft} << 2);
}

template <class TCase>
class CShellVerbTest : public testing::TestWithParam<TCase> {
protected:
    SOutcome Run(const std::string& verb, const std::string& path, EContent content,
                 bool withPlayer = true) const {
        std::fflush(nullptr);
        const pid_t caller = ::fork();
        if (caller == 0)
            ActAsCaller(dir_, player_, withPlayer, verb, path, content);
        int status = 0;
        ::waitpid(caller, &status, 0);
        const int report = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
        EXPECT_EQ(report & ~7, kReport) << "the caller failed, status " << status;
        return {(report & 1) != 0, (report & 2) != 0, (report & 4) != 0};
    }

    CTempDir dir_;
    CRecordingPlayer player_{dir_};
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
    const SOutcome outcome =
        Run(ReplaceAll(c.verb, "{player}", "'" + player_.Program() + "'"), path, c.content);
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.recordedAtReturn) << "the call waited for the player";
    EXPECT_FALSE(outcome.childLeft) << "the player stayed a child of the caller";
    Args expected;
    for (const std::string& argument : c.received)
        expected.push_back(ReplaceAll(argument, "%f", path));
    EXPECT_EQ(player_.Received(), expected);
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
