#include "model/Mp3File.h"
#include "support/ChildProcess.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace {

const std::string kAudio = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(3000);

CMp3File Loaded(const CTempDir& dir, const std::string& name) {
    CMp3File track;
    CRecordingReporter reporter;
    EXPECT_TRUE(track.Load(dir.Path(), name, reporter));
    return track;
}

std::string Padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

} // namespace

TEST(Mp3FileWrite, AppendsToUntaggedFileThenOverwrites) {
    CTempDir dir;
    const std::string path = dir.Write("Song Title.mp3", kAudio);
    CMp3File track = Loaded(dir, "Song Title.mp3");
    track.SetTitle("Song Title");
    track.SetComment("<Indéfini>");
    ASSERT_TRUE(track.WriteTag().Written());
    EXPECT_TRUE(track.HasTag());
    // The text shown for a missing artist or album, in either language, is not written; the
    // record goes on showing it. Genre 148 is written as it is.
    const std::string expected = "TAG" + Padded("Song Title", 30) + Padded("", 30) +
                                 Padded("", 30) + Padded("", 4) + Padded("", 30) + "\x94";
    EXPECT_EQ(ReadFileBytes(path), kAudio + expected);
    EXPECT_EQ(track.Artist(), "<Undefined>");

    track.SetArtist("Band");
    track.SetAlbum("<Undefined>");
    track.SetGenre(0);
    ASSERT_TRUE(track.WriteTag().Written());
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), kAudio.size() + 128) << "the second write overwrites";
    EXPECT_EQ(bytes.substr(0, kAudio.size()), kAudio);
    EXPECT_EQ(static_cast<unsigned char>(bytes.back()), 0);

    CMp3File back = Loaded(dir, "Song Title.mp3");
    EXPECT_EQ(back.Title(), "Song Title");
    EXPECT_EQ(back.Artist(), "Band");
    EXPECT_EQ(back.Album(), "");
    EXPECT_EQ(back.Genre(), 0);
    EXPECT_EQ(back.GetGenreName(), "Blues");
}

TEST(Mp3FileWrite, ExistingTagIsReplacedInPlace) {
    CTempDir dir;
    const std::string path =
        dir.Write("t.mp3", kAudio + Mp3Maker::Tag("Old", "Artist", "Album", "1990", "x", 5));
    CMp3File track = Loaded(dir, "t.mp3");
    track.SetComment(" ");
    ASSERT_TRUE(track.WriteTag().Written());
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), kAudio.size() + 128);
    CMp3File back = Loaded(dir, "t.mp3");
    EXPECT_EQ(back.Title(), "Old");
    EXPECT_EQ(back.Comment(), "") << "a blank reads back as empty";
    EXPECT_EQ(back.Genre(), 5);
    EXPECT_EQ(back.Year(), "1990");
}

TEST(Mp3FileWrite, MissingFileIsNotCreated) {
    CTempDir dir;
    dir.Write("gone.mp3", kAudio);
    CMp3File track = Loaded(dir, "gone.mp3");
    ::unlink((dir / "gone.mp3").c_str());
    EXPECT_EQ(track.WriteTag().status, STagWriteResult::EStatus::CannotOpen);
    EXPECT_FALSE(track.HasTag());
    EXPECT_NE(::access((dir / "gone.mp3").c_str(), F_OK), 0);
}

// A disk that fills up after a few bytes of the tag: the file size limit makes the append stop
// part-way, and the file must come back to its old length and bytes.
TEST(Mp3FileWrite, FailedAppendLeavesFileAsItWas) {
    CTempDir dir;
    const std::string path = dir.Write("full.mp3", kAudio);
    EXPECT_EQ(RunWithFileSizeLimit(kAudio.size() + 50,
                                   [&] {
                                       CMp3File track = Loaded(dir, "full.mp3");
                                       track.SetTitle("Never");
                                       const STagWriteResult result = track.WriteTag();
                                       return result.status ==
                                                  STagWriteResult::EStatus::WriteFailed &&
                                              result.error == EFBIG && !track.HasTag();
                                   }),
              EChildResult::Passed);
    EXPECT_EQ(ReadFileBytes(path), kAudio);
}
