#include "model/Mp3File.h"
#include "model/TagWriter.h"
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

// The edit written as the properties sheet writes it: the track then reads its file again.
STagWriteResult Write(CMp3File& track, const STagEdit& edit) {
    const STagWriteResult result = CTagWriter(true).Write(track, edit);
    track.Reload({});
    return result;
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
    ASSERT_TRUE(Write(track, {.title = "Song Title", .comment = "<Indéfini>"}).Written());
    EXPECT_TRUE(track.HasTag());
    // The text shown for a missing artist or album, in either language, is not written: the
    // track now shows the file's empty fields. No genre is written as 255, which no reader
    // takes for a genre.
    const std::string expected = "TAG" + Padded("Song Title", 30) + Padded("", 30) +
                                 Padded("", 30) + Padded("", 4) + Padded("", 30) + "\xFF";
    EXPECT_EQ(ReadFileBytes(path), kAudio + expected);
    EXPECT_EQ(track.Artist(), "");

    ASSERT_TRUE(Write(track, {.artist = "Band", .album = "<Undefined>", .genre = 0}).Written());
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
    ASSERT_TRUE(Write(track, {.comment = " "}).Written());
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), kAudio.size() + 128);
    CMp3File back = Loaded(dir, "t.mp3");
    EXPECT_EQ(back.Title(), "Old");
    EXPECT_EQ(back.Comment(), "") << "a blank reads back as empty";
    EXPECT_EQ(back.Genre(), 5);
    EXPECT_EQ(back.Year(), "1990");
}

// An ID3v1.1 track number survives a write; the comment beside it keeps 28 bytes.
TEST(Mp3FileWrite, TheId3v11TrackNumberStays) {
    CTempDir dir;
    std::string tag = Mp3Maker::Tag("Old", "Artist", "Album", "1990", "x", 5);
    tag[126] = 9;
    const std::string path = dir.Write("t.mp3", kAudio + tag);
    CMp3File track = Loaded(dir, "t.mp3");
    ASSERT_EQ(track.Track(), 9);
    ASSERT_TRUE(Write(track, {.comment = std::string(30, 'c')}).Written());
    EXPECT_EQ(ReadFileBytes(path).substr(kAudio.size() + 97),
              std::string(28, 'c') + std::string("\0\x09\x05", 3));
    EXPECT_EQ(track.Track(), 9);
}

TEST(Mp3FileWrite, MissingFileIsNotCreated) {
    CTempDir dir;
    dir.Write("gone.mp3", kAudio);
    CMp3File track = Loaded(dir, "gone.mp3");
    ::unlink((dir / "gone.mp3").c_str());
    const STagWriteResult result = CTagWriter(true).Write(track, {.title = "x"});
    EXPECT_EQ(result.status, STagWriteResult::EStatus::CannotOpen);
    EXPECT_EQ(result.error, ENOENT);
    EXPECT_NE(::access((dir / "gone.mp3").c_str(), F_OK), 0);
}

// A disk that fills up after a few bytes of the tag: the file size limit makes the append stop
// part-way, and the file must come back to its old length and bytes.
TEST(Mp3FileWrite, FailedAppendLeavesFileAsItWas) {
    CTempDir dir;
    const std::string path = dir.Write("full.mp3", kAudio);
    EXPECT_EQ(
        RunWithFileSizeLimit(kAudio.size() + 50,
                             [&] {
                                 CMp3File track = Loaded(dir, "full.mp3");
                                 const STagWriteResult result = Write(track, {.title = "Never"});
                                 return result.status == STagWriteResult::EStatus::WriteFailed &&
                                        result.error == EFBIG && !track.HasTag();
                             }),
        EChildResult::Passed);
    EXPECT_EQ(ReadFileBytes(path), kAudio);
}
