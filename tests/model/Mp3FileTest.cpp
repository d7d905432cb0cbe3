#include "model/Mp3File.h"
#include "model/FieldIds.h"
#include "model/GenreTable.h"
#include "support/ChildProcess.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>

#include <cstdio>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kFrame128 = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413);

std::unique_ptr<CMp3File> LoadFile(const CTempDir& dir, const std::string& name,
                                   const std::string& bytes) {
    dir.Write(name, bytes);
    auto track = std::make_unique<CMp3File>();
    CRecordingReporter reporter;
    if (!track->Load(dir.Path(), name, reporter))
        return nullptr;
    return track;
}

// The views of a whole line are the views field by field.
void ExpectLineViewsAgree(const CMp3File& track) {
    CMp3File::FieldViews views;
    track.AllTextViews(views);
    for (int id = 1; id <= kFieldCount; ++id)
        EXPECT_EQ(views[static_cast<std::size_t>(id)],
                  track.TextView(static_cast<EFieldId>(id)).value_or(""))
            << id;
}

} // namespace

TEST(Mp3File, DefaultsOfAnUntaggedFile) {
    CTempDir dir;
    auto track = LoadFile(dir, "plain.mp3", kFrame128 + Mp3Maker::Filler(2000));
    ASSERT_TRUE(track);
    EXPECT_FALSE(track->HasTag());
    EXPECT_EQ(track->GetFieldText(EFieldId::Title), "");
    EXPECT_EQ(track->GetFieldText(EFieldId::Artist), "<Undefined>");
    EXPECT_EQ(track->GetFieldText(EFieldId::Album), "<Undefined>");
    EXPECT_EQ(track->GetFieldText(EFieldId::Genre), "<Undefined>");
    EXPECT_EQ(track->GetFieldText(EFieldId::File), "plain.mp3");
    EXPECT_EQ(track->GetFieldText(EFieldId::Location), dir.Path());
    EXPECT_EQ(track->FullPath(), dir / "plain.mp3");
    EXPECT_EQ(track->SizeK(), (417 + 2000 - 128) / 1000);
    EXPECT_EQ(track->GetFieldText(EFieldId{}), "Not assigned");
    EXPECT_EQ(track->GetFieldText(EFieldId::Track), "") << "no track number";
    EXPECT_EQ(track->GetFieldText(EFieldId::AlbumArtist), "");
    EXPECT_EQ(track->GetFieldText(EFieldId::Disc), "");
    EXPECT_EQ(track->GetFieldText(static_cast<EFieldId>(kFieldCount + 1)), "Not assigned");
    ExpectLineViewsAgree(*track);
}

TEST(Mp3File, TaggedFileFieldsAndGenres) {
    CTempDir dir;
    auto track =
        LoadFile(dir, "t.mp3", kFrame128 + Mp3Maker::Tag("Song", "   ", "Disc", "1987", "c", 147));
    ASSERT_TRUE(track);
    EXPECT_TRUE(track->HasTag());
    EXPECT_EQ(track->GetFieldText(EFieldId::Artist), "") << "blank artist is empty";
    EXPECT_EQ(track->GetFieldText(EFieldId::Title), "Song");
    EXPECT_EQ(track->GetFieldText(EFieldId::Album), "Disc");
    EXPECT_EQ(track->GetFieldText(EFieldId::Date), "1987");
    EXPECT_EQ(track->GetFieldText(EFieldId::Comment), "c");
    EXPECT_EQ(track->GetFieldText(EFieldId::Genre), "Synthpop");
    EXPECT_EQ(track->GetFieldText(EFieldId::MpegLayer), "MPEG-1 Layer III");
    EXPECT_EQ(track->GetFieldText(EFieldId::Bitrate), "128 kbit/s");
    EXPECT_EQ(track->GetFieldText(EFieldId::Frequency), "44.1 kHz");
    EXPECT_EQ(track->GetFieldText(EFieldId::Mode), "Joint stereo");
    ExpectLineViewsAgree(*track);
    for (int genre : {148, 200, 255}) {
        auto other = LoadFile(dir, "g.mp3", Mp3Maker::Tag("", "", "", "", "", genre));
        ASSERT_TRUE(other);
        EXPECT_EQ(other->GetGenreName(), "<Undefined>") << genre;
        // No genre is one value, however the file spells it; a byte past the table is kept.
        EXPECT_EQ(other->Genre() == kGenreNone, genre != 200) << genre;
    }
}

TEST(Mp3File, TooShortFilesAreNotTracks) {
    CTempDir dir;
    EXPECT_FALSE(LoadFile(dir, "short.mp3", std::string(100, 'x')));
    EXPECT_FALSE(LoadFile(dir, "empty.mp3", ""));
    auto tagOnly = LoadFile(dir, "tag.mp3", Mp3Maker::Tag("Only", "A", "B", "", "", 3));
    ASSERT_TRUE(tagOnly);
    EXPECT_EQ(tagOnly->SizeK(), 0);
    EXPECT_EQ(tagOnly->Title(), "Only");
}

TEST(Mp3File, OnlyRegularFilesAreRead) {
    CTempDir dir;
    dir.MakeDir("folder.mp3");
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0644), 0);
    CRecordingReporter reporter;
    CMp3File folder;
    EXPECT_FALSE(folder.Load(dir.Path(), "folder.mp3", reporter));
    CMp3File pipe; // must return at once, not wait for a writer
    EXPECT_FALSE(pipe.Load(dir.Path(), "pipe.mp3", reporter));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(Mp3File, UnopenableFileIsReportedAndListedWithDefaults) {
    CTempDir dir;
    dir.Write("locked.mp3", kFrame128 + Mp3Maker::Tag("T", "A", "B", "", "", 1));
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod((dir / "locked.mp3").c_str(), 0);
    const EChildResult result = RunAsNobody([&] {
        CRecordingReporter reporter;
        CMp3File track;
        const bool listed = track.Load(dir.Path(), "locked.mp3", reporter);
        return listed && reporter.messages.size() == 1 &&
               reporter.messages[0].caption == "Invalid handle" &&
               reporter.messages[0].text == "Error opening file: " + dir / "locked.mp3" &&
               track.Artist() == "<Undefined>" && track.SizeK() == 0 && track.Duration() == 0 &&
               track.BitrateText().empty();
    });
    if (result == EChildResult::Skipped)
        GTEST_SKIP() << "cannot drop privileges here";
    EXPECT_EQ(result, EChildResult::Passed);
}

TEST(Mp3File, DurationFromSizeAndBitrate) {
    CTempDir dir;
    // 4,000,128 bytes at 128 kbit/s: 4000 * 8000 / 128000 = 250 s.
    auto track = LoadFile(dir, "a.mp3", kFrame128 + std::string(4000128 - kFrame128.size(), 'x'));
    ASSERT_TRUE(track);
    EXPECT_EQ(track->SizeK(), 4000);
    EXPECT_EQ(track->Duration(), 250);
    EXPECT_EQ(track->GetFieldText(EFieldId::Time), "4:10");
    EXPECT_EQ(track->GetFieldText(EFieldId::Size), "  4.0 MB");

    // Above 268 MB, sizeK * 8000 overflows 32 bits; a sparse file keeps the test small.
    const std::string big = dir.Write("big.mp3", kFrame128);
    ASSERT_EQ(::truncate(big.c_str(), 3000000128LL), 0);
    CMp3File large;
    CRecordingReporter reporter;
    ASSERT_TRUE(large.Load(dir.Path(), "big.mp3", reporter));
    EXPECT_EQ(large.SizeK(), 3000000);
    EXPECT_EQ(large.Duration(), 187500);
}

TEST(Mp3File, FormatSizeAndDuration) {
    EXPECT_EQ(CMp3File::FormatSize(4000), "  4.0 MB");
    EXPECT_EQ(CMp3File::FormatSize(123456), "123.5 MB");
    EXPECT_EQ(CMp3File::FormatSize(0), "  0.0 MB");
    EXPECT_EQ(CMp3File::FormatDuration(59), "0:59");
    EXPECT_EQ(CMp3File::FormatDuration(61), "1:01");
    EXPECT_EQ(CMp3File::FormatDuration(3600), "1:00:00");
    EXPECT_EQ(CMp3File::FormatDuration(3725), "1:02:05");
    EXPECT_EQ(CMp3File::FormatDuration(45), "0:45");
    EXPECT_EQ(CMp3File::FormatDuration(0), "0:00");
}

TEST(Mp3File, FormatsMatchPrintfEverywhere) {
    const auto printfSize = [](int sizeK) {
        char text[64];
        std::snprintf(text, sizeof text, "%5.1f MB", sizeK * 0.001);
        return std::string(text);
    };
    const auto printfDuration = [](int seconds) {
        char text[64];
        const int h = seconds / 3600;
        if (h != 0)
            std::snprintf(text, sizeof text, "%d:%02d:%02d", h, seconds / 60 - 60 * h,
                          seconds % 60);
        else
            std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
        return std::string(text);
    };
    std::vector<int> values{0,   1,    49,    50,     51,         149, 150, 250, 950,
                            999, 1050, 99950, 999999, 2147483647, -1,  -49, -50, -2147483647 - 1};
    for (int v = 0; v < 200000; v += 7)
        values.push_back(v);
    for (int v : values) {
        EXPECT_EQ(CMp3File::FormatSize(v), printfSize(v)) << v;
        EXPECT_EQ(CMp3File::FormatDuration(v), printfDuration(v)) << v;
    }
}

TEST(Mp3File, CompareEveryFieldKind) {
    CTempDir dir;
    // Small: 1 MB at 128 kbit/s; large: 9 MB at 64 kbit/s (longer), 48 kHz, upper-case title.
    auto small = LoadFile(dir, "b.mp3",
                          kFrame128 + std::string(1000000, 'x') +
                              Mp3Maker::Tag("apple", "B", "Y", "2001", "z", 13));
    const std::string frame64 = Mp3Maker::Frame(0xFB, 0x54, 0x64, 144 * 64000 / 48000 - 4);
    auto large = LoadFile(dir, "a.mp3",
                          frame64 + std::string(9000000, 'x') +
                              Mp3Maker::Tag("Zebra", "A", "X", "1999", "a", 0));
    ASSERT_TRUE(small && large);
    ASSERT_EQ(large->BitrateText(), "64 kbit/s");
    const auto cmp = [&](int key) { return CMp3File::Compare(*large, *small, key); };

    EXPECT_LT(cmp(5), 0) << "positive Size key puts larger first";
    EXPECT_GT(cmp(-5), 0);
    EXPECT_GT(cmp(10), 0) << "the larger file plays longer";
    EXPECT_LT(cmp(-10), 0);
    EXPECT_LT(cmp(11), 0) << "64 kbit/s below 128 kbit/s by number";
    EXPECT_LT(cmp(3), 0) << "Zebra before apple: upper case first";
    EXPECT_LT(cmp(1), 0);
    EXPECT_LT(cmp(2), 0);
    EXPECT_GT(cmp(-2), 0);
    EXPECT_LT(cmp(6), 0);
    EXPECT_LT(cmp(7), 0) << "Blues before Pop by name";
    EXPECT_LT(cmp(8), 0);
    EXPECT_LT(cmp(9), 0);
    EXPECT_GT(cmp(12), 0) << "\"48 kHz\" after \"44.1 kHz\" as text";
    EXPECT_EQ(cmp(13), 0);
    EXPECT_EQ(cmp(14), 0);
    EXPECT_EQ(cmp(4), 0);
    for (int key : {0, 16, -16, 100, INT_MIN, INT_MAX})
        EXPECT_EQ(cmp(key), 0) << key;
    EXPECT_EQ(CMp3File::Compare(*small, *small, 3), 0);

    large->SetTrack(12);
    small->SetTrack(3);
    EXPECT_GT(cmp(15), 0) << "track 12 after track 3, by number";
    // Texts compare as they show: o-umlaut in Latin-1 and in UTF-8 is one letter.
    large->SetArtist("Bj\xF6rn");
    small->SetArtist("Bj\xC3\xB6rk");
    EXPECT_GT(cmp(2), 0);
    small->SetArtist("Bj\xC3\xB6rn");
    EXPECT_EQ(cmp(2), 0);
}
