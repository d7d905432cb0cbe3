#include "model/Mp3File.h"
#include "model/TagWriter.h"
#include "support/ChildProcess.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

// What the writer does with names that are not what they seem: links of other users, names
// that change between a look and an open, names too long for a temporary name beside them.
namespace {

namespace fs = std::filesystem;
using EReason = STagWriteResult::EReason;

const std::string kAudio = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(5000);
const std::string kProfile = "PATH=/bin\n" + std::string(300, '#');

CMp3File Loaded(const std::string& folder, const std::string& name) {
    CMp3File track;
    CRecordingReporter reporter;
    track.Load(folder, name, reporter);
    return track;
}

// Where the swap in the hook points its link.
std::string gVictim;

// Another user's move in a shared folder: the track's name becomes their link to the victim.
void SwapInALink(const std::string& path) {
    if (fs::is_symlink(path))
        return;
    fs::remove(path);
    ASSERT_EQ(::symlink(gVictim.c_str(), path.c_str()), 0);
    ASSERT_EQ(::lchown(path.c_str(), 65534, 65534), 0);
}

} // namespace

// A track's name that another user turns into a link after every check was made: the write is
// refused and the file the link names keeps its bytes.
TEST(TagWriterSafety, ALinkSwappedInAfterTheChecksIsNotWrittenThrough) {
    CTempDir dir;
    gVictim = dir.Write("home/.bashrc", kProfile);
    dir.Write("shared/t.mp3", kAudio + Mp3Maker::Tag("T", "A", "B", "", "", 1));
    const CMp3File track = Loaded(dir / "shared", "t.mp3");
    CTagWriter::afterChecks = &SwapInALink;
    const STagWriteResult result = CTagWriter(true).Write(track, {.genre = 5});
    CTagWriter::afterChecks = nullptr;
    EXPECT_EQ(result.status, STagWriteResult::EStatus::Refused);
    EXPECT_EQ(result.reason, EReason::ForeignLink);
    EXPECT_EQ(ReadFileBytes(gVictim), kProfile);
}

// A link anywhere on the way counts, not only at the track's name; the user's own links and
// root's are followed, and the file they lead to is the one written.
TEST(TagWriterSafety, EveryLinkOnTheWayIsLookedAt) {
    CTempDir dir;
    const std::string bytes = kAudio + Mp3Maker::Tag("T", "A", "B", "", "", 1);
    dir.Write("home/private/t.mp3", bytes);
    dir.MakeDir("shared");
    ASSERT_EQ(::symlink("../home/private", (dir / "shared/album").c_str()), 0);
    ASSERT_EQ(::lchown((dir / "shared/album").c_str(), 65534, 65534), 0);
    const CMp3File planted = Loaded(dir / "shared/album", "t.mp3");
    EXPECT_EQ(CTagWriter(true).Write(planted, {.genre = 5}).reason, EReason::ForeignLink);
    EXPECT_EQ(ReadFileBytes(dir / "home/private/t.mp3"), bytes);

    ASSERT_EQ(::symlink("shared/own", (dir / "own").c_str()), 0);
    ASSERT_EQ(::symlink("../home/private", (dir / "shared/own").c_str()), 0);
    EXPECT_TRUE(CTagWriter(true).Write(Loaded(dir / "own", "t.mp3"), {.genre = 5}).Written());
    EXPECT_EQ(Loaded(dir / "home/private", "t.mp3").Genre(), 5);
    EXPECT_TRUE(fs::is_symlink(dir / "own"));
}

// A name of 250 bytes (83 characters of three bytes each) leaves no room for a longer one
// beside it: the tag grows all the same, and nothing is left beside the file.
TEST(TagWriterSafety, ALongNameIsRewrittenWithoutAStray) {
    CTempDir dir;
    std::string name;
    while (name.size() < 246)
        name += "\xE6\x9D\xB1";
    name += ".mp3";
    ASSERT_EQ(name.size(), 250u);
    const std::string head = Mp3Maker::Id3v2(std::string(20, '\0'));
    dir.Write(name, head + kAudio);
    const STagWriteResult result =
        CTagWriter(true).Write(Loaded(dir.Path(), name), {.title = "A title longer than room"});
    ASSERT_TRUE(result.Written()) << result.error;
    EXPECT_EQ(Loaded(dir.Path(), name).Title(), "A title longer than room");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);

    // Without the privilege to link a descriptor itself, it is linked by its name in /proc.
    const std::string own = dir.MakeDir("nobody's");
    dir.Write("nobody's/t.mp3", head + kAudio);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chown(own.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown((own + "/t.mp3").c_str(), 65534, 65534), 0);
    const EChildResult asNobody = RunAsNobody([&] {
        return CTagWriter(true).Write(Loaded(own, "t.mp3"), {.title = "Longer"}).Written() &&
               Loaded(own, "t.mp3").Title() == "Longer" &&
               std::distance(fs::directory_iterator(own), {}) == 1;
    });
    EXPECT_NE(asNobody, EChildResult::Failed);
}
