#include "model/FieldIds.h"
#include "model/Mp3File.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

// Real files from the lame encoder, at MPEG-1 and MPEG-2 rates and in every channel mode.
namespace {

struct SCase {
    int sampleRate;
    const char* options;
    const char* versionLayer;
    const char* bitrate;
    const char* frequency;
    const char* mode;
};

const SCase kCases[] = {
    {44100, "-b 128 -m j", "MPEG-1 Layer III", "128 kbit/s", "44.1 kHz", "Joint stereo"},
    {48000, "-b 320 -m s", "MPEG-1 Layer III", "320 kbit/s", "48 kHz", "Stereo"},
    {32000, "-b 32 -m m", "MPEG-1 Layer III", "32 kbit/s", "32 kHz", "Single channel"},
    {44100, "-b 192 -m d", "MPEG-1 Layer III", "192 kbit/s", "44.1 kHz", "Dual channel"},
    {22050, "-b 64 -m j", "MPEG-2 Layer III", "64 kbit/s", "22.05 kHz", "Joint stereo"},
    {24000, "-b 8 -m m", "MPEG-2 Layer III", "8 kbit/s", "24 kHz", "Single channel"},
    {16000, "-b 160 -m s", "MPEG-2 Layer III", "160 kbit/s", "16 kHz", "Stereo"},
};

bool HaveLame() {
    return std::system("lame --version >/dev/null 2>&1") == 0;
}

} // namespace

TEST(Mp3FileLame, HeadersOfEncodedFiles) {
    if (!HaveLame())
        GTEST_SKIP() << "lame is not installed";
    CTempDir dir;
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.options);
        ASSERT_TRUE(Mp3Maker::Encode(dir / "x.mp3", 2.0, c.sampleRate,
                                     std::string(c.options) + " --resample " +
                                         std::to_string(c.sampleRate / 1000.0)));
        CMp3File track;
        CRecordingReporter reporter;
        ASSERT_TRUE(track.Load(dir.Path(), "x.mp3", reporter));
        EXPECT_EQ(track.VersionLayerText(), c.versionLayer);
        EXPECT_EQ(track.BitrateText(), c.bitrate);
        EXPECT_EQ(track.FrequencyText(), c.frequency);
        EXPECT_EQ(track.ModeText(), c.mode);
        struct stat st {};
        ASSERT_EQ(::stat((dir / "x.mp3").c_str(), &st), 0);
        const int sizeK = static_cast<int>((st.st_size - 128) / 1000);
        EXPECT_EQ(track.SizeK(), sizeK);
        // No tag: every byte from the first frame on is audio.
        EXPECT_EQ(track.Duration(), static_cast<int>(st.st_size * 8LL / track.Bitrate()));
    }
}

TEST(Mp3FileLame, TagsWrittenByTheEncoderAndAnId3v2InFront) {
    if (!HaveLame())
        GTEST_SKIP() << "lame is not installed";
    CTempDir dir;
    ASSERT_TRUE(Mp3Maker::Encode(dir / "v1.mp3", 1.0, 44100,
                                 "-b 128 --id3v1-only --tt Title --ta Artist --tl Album "
                                 "--ty 2001 --tc Note --tg Jazz"));
    CMp3File v1;
    CRecordingReporter reporter;
    ASSERT_TRUE(v1.Load(dir.Path(), "v1.mp3", reporter));
    EXPECT_EQ(v1.Title(), "Title");
    EXPECT_EQ(v1.Artist(), "Artist");
    EXPECT_EQ(v1.Album(), "Album");
    EXPECT_EQ(v1.Year(), "2001");
    EXPECT_EQ(v1.Comment(), "Note");
    EXPECT_EQ(v1.GetFieldText(EFieldId::Genre), "Jazz");

    // Both tags, UTF-16 texts in the ID3v2 tag: its byte-order marks must not be headers.
    ASSERT_TRUE(Mp3Maker::Encode(dir / "v2.mp3", 1.0, 22050,
                                 "-b 48 -m m --resample 22.05 --add-id3v2 --pad-id3v2-size 4000 "
                                 "--id3v2-utf16 --tt Titre --ta Artiste"));
    CMp3File v2;
    ASSERT_TRUE(v2.Load(dir.Path(), "v2.mp3", reporter));
    EXPECT_EQ(v2.VersionLayerText(), "MPEG-2 Layer III");
    EXPECT_EQ(v2.BitrateText(), "48 kbit/s");
    EXPECT_EQ(v2.FrequencyText(), "22.05 kHz");
    EXPECT_EQ(v2.ModeText(), "Single channel");
    EXPECT_TRUE(reporter.messages.empty());
}
