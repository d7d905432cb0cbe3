#include "model/Mp3File.h"
#include "model/TagWriter.h"
#include "support/ChildProcess.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

// What the writer does with names that are not what they seem: links of other users, names
// that change between a look and an open, names too long for a temporary name beside them.
namespace {

namespace fs = std::filesystem;
using EReason = STagWriteResult::EReason;

const std::string kAudio = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(5000);
// Longer than the room of the 20 bytes of padding the tests' tags have.
const STagEdit kLonger{.title = "A title longer than room"};
const std::string kProfile = "PATH=/bin\n" + std::string(300, '#');

CMp3File Loaded(const std::string& folder, const std::string& name) {
    CMp3File track;
    CRecordingReporter reporter;
    track.Load(folder, name, reporter);
    return track;
}

// An ACL as the system stores it: version 2, then (tag, permissions, id) for each entry: the
// owner, nobody, the group, the mask and the others, as 0640 with read for nobody.
const std::string kAcl("\x02\0\0\0"
                       "\x01\0\x06\0\xFF\xFF\xFF\xFF\x02\0\x04\0\xFE\xFF\0\0"
                       "\x04\0\x04\0\xFF\xFF\xFF\xFF\x10\0\x04\0\xFF\xFF\xFF\xFF"
                       "\x20\0\0\0\xFF\xFF\xFF\xFF",
                       44);

// The attribute's value, or "(none)".
std::string Attribute(const std::string& path, const char* name) {
    std::string value(256, '\0');
    const ssize_t got = ::getxattr(path.c_str(), name, value.data(), value.size());
    return got < 0 ? "(none)" : value.substr(0, static_cast<std::size_t>(got));
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
    const STagWriteResult result = CTagWriter(true).Write(Loaded(dir.Path(), name), kLonger);
    ASSERT_TRUE(result.Written()) << result.error;
    EXPECT_EQ(Loaded(dir.Path(), name).Title(), *kLonger.title);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);

    // Without the privilege to link a descriptor itself, it is linked by its name in /proc.
    const std::string own = dir.MakeDir("nobody's");
    dir.Write("nobody's/t.mp3", head + kAudio);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chown(own.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown((own + "/t.mp3").c_str(), 65534, 65534), 0);
    const EChildResult asNobody = RunAsNobody([&] {
        return CTagWriter(true).Write(Loaded(own, "t.mp3"), kLonger).Written() &&
               Loaded(own, "t.mp3").Title() == *kLonger.title &&
               std::distance(fs::directory_iterator(own), {}) == 1;
    });
    EXPECT_NE(asNobody, EChildResult::Failed);
}

// The file's own attributes and its ACL stay with it through a rewrite; an ACL that the folder's
// default would give a new file is not given to one that had none.
TEST(TagWriterSafety, ARewriteKeepsAttributesAndTheAcl) {
    CTempDir dir;
    const std::string head = Mp3Maker::Id3v2(std::string(20, '\0'));
    const std::string path = dir.Write("kept/t.mp3", head + kAudio);
    const std::string plain = dir.Write("plain/t.mp3", head + kAudio);
    if (::setxattr(path.c_str(), "user.rating", "5", 1, 0) != 0)
        GTEST_SKIP() << "the temporary folder takes no attributes of the user's";
    ASSERT_EQ(::setxattr(path.c_str(), "system.posix_acl_access", kAcl.data(), kAcl.size(), 0), 0);
    const std::string folder = dir / "plain";
    ASSERT_EQ(::setxattr(folder.c_str(), "system.posix_acl_default", kAcl.data(), kAcl.size(), 0),
              0);
    struct stat before {
    }, after{};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ASSERT_TRUE(CTagWriter(true).Write(Loaded(dir / "kept", "t.mp3"), kLonger).Written());
    ASSERT_TRUE(CTagWriter(true).Write(Loaded(folder, "t.mp3"), kLonger).Written());
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "rewritten";
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(Attribute(path, "user.rating"), "5");
    EXPECT_EQ(Attribute(path, "system.posix_acl_access"), kAcl);
    EXPECT_EQ(Attribute(plain, "system.posix_acl_access"), "(none)");
}

// Something other than a file at a track's name is refused for what it is, not as a file that
// may not be opened; a FIFO is not waited on.
TEST(TagWriterSafety, AFifoIsNotARegularFile) {
    CTempDir dir;
    const std::string path = dir.Write("t.mp3", kAudio);
    const CMp3File track = Loaded(dir.Path(), "t.mp3");
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    const STagWriteResult result = CTagWriter(true).Write(track, kLonger);
    EXPECT_EQ(result.status, STagWriteResult::EStatus::Refused);
    EXPECT_EQ(result.reason, EReason::NotRegular);
}
