#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"
#include "model/FieldIds.h"
#include "model/Mp3File.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// Exact time and average bitrate of real lame files, and hostile counts and tag sizes.
namespace {

constexpr STrackReadOptions kToday{false, false};

std::string Record(const CMp3File& track) {
    CArchiveWriter archive;
    track.Serialize(archive, "");
    return archive.Bytes();
}

struct SLameCase {
    const char* options;
    bool exact; // a "Xing" header; otherwise "Info" or none, and the estimate stays
    int minKilobits;
    int maxKilobits;
    const char* versionLayer;
};

const SLameCase kLameCases[] = {
    {"-V0", true, 64, 320, "MPEG-1 Layer III"},
    {"-V9", true, 8, 64, "MPEG-2 Layer III"},
    {"--abr 256", true, 64, 320, "MPEG-1 Layer III"},
    {"-V2 -p", true, 32, 320, "MPEG-1 Layer III"}, // checksums
    {"-V4 -a", true, 16, 160, "MPEG-1 Layer III"}, // mono
    {"-V4 --resample 22.05", true, 8, 160, "MPEG-2 Layer III"},
    {"-V6 -a --resample 16", true, 8, 160, "MPEG-2 Layer III"},
    {"-b 128", false, 128, 128, "MPEG-1 Layer III"},
    {"-b 128 -t", false, 128, 128, "MPEG-1 Layer III"},
};

} // namespace

TEST(Mp3FileVbr, ExactTimeOfLameFiles) {
    if (std::system("lame --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "lame is not installed";
    CTempDir dir;
    CRecordingReporter reporter;
    for (const SLameCase& c : kLameCases) {
        SCOPED_TRACE(c.options);
        ASSERT_TRUE(Mp3Maker::Encode(dir / "x.mp3", 30.0, 44100, c.options));
        CMp3File on;
        CMp3File today;
        ASSERT_TRUE(on.Load(dir.Path(), "x.mp3", reporter));
        ASSERT_TRUE(today.Load(dir.Path(), "x.mp3", reporter, kToday));
        EXPECT_EQ(on.VersionLayerText(), c.versionLayer);
        EXPECT_GE(on.Bitrate(), c.minKilobits * 1000);
        EXPECT_LE(on.Bitrate(), c.maxKilobits * 1000);
        EXPECT_EQ(on.BitrateText(), std::to_string(on.Bitrate() / 1000) + " kbit/s");
        if (!c.exact) {
            EXPECT_EQ(Record(on), Record(today));
            continue;
        }
        EXPECT_NEAR(on.Duration(), 30, 1);
        // The snapshot keeps the text only; the number for sorting comes back from it.
        const std::string record = Record(on);
        CArchiveReader archive(record);
        CMp3File back;
        ASSERT_TRUE(back.Serialize(archive, ""));
        EXPECT_EQ(back.Bitrate(), on.Bitrate());
        EXPECT_EQ(Record(back), Record(on));
    }
}

// A constant bitrate's time counts the audio alone: a picture in the ID3v2 tag in front is no
// playing time. mutagen, which reads the same file, is the oracle; without the exact time the
// tag's bytes count, as they always did.
TEST(Mp3FileVbr, ConstantBitrateTimeLeavesOutTheTags) {
    if (std::system("lame --version >/dev/null 2>&1") != 0 ||
        std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") != 0)
        GTEST_SKIP() << "lame or python3-mutagen is not installed";
    CTempDir dir;
    const std::string path = dir / "x.mp3";
    ASSERT_TRUE(Mp3Maker::Encode(path, 30.0, 44100, "-b 128"));
    const std::string script =
        "import sys\n"
        "from mutagen.id3 import ID3, APIC, TIT2\n"
        "from mutagen.mp3 import MP3\n"
        "t = ID3()\n"
        "t.add(TIT2(encoding=3, text='x'))\n"
        "t.add(APIC(encoding=0, mime='image/png', type=3, desc='', data=b'\\x89PNG' * 50000))\n"
        "t.save(sys.argv[1], v1=2, v2_version=3)\n"
        "open(sys.argv[2], 'w').write(str(MP3(sys.argv[1]).info.length))\n";
    dir.Write("tag.py", script);
    ASSERT_EQ(
        std::system(
            ("/usr/bin/python3 " + dir / "tag.py" + " " + path + " " + dir / "length").c_str()),
        0);
    const double length = std::stod(ReadFileBytes(dir / "length"));
    CRecordingReporter reporter;
    CMp3File on;
    CMp3File today;
    ASSERT_TRUE(on.Load(dir.Path(), "x.mp3", reporter));
    ASSERT_TRUE(today.Load(dir.Path(), "x.mp3", reporter, kToday));
    ASSERT_TRUE(on.HasTag());
    EXPECT_NEAR(on.Duration(), length, 1.0);
    EXPECT_GT(today.Duration(), length + 10) << "200 KB at 128 kbit/s is 12.5 s";
}

namespace {

std::string Be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

// An MPEG-1 Layer III frame (128 kbit/s, 44.1 kHz, joint stereo; `b1` 0xFA adds a checksum)
// with `record` `at` bytes into its body, a second frame, and an ID3v1 tag.
std::string Stream(std::size_t at, const std::string& record, std::uint8_t b1 = 0xFB) {
    std::string first = Mp3Maker::Frame(b1, 0x90, 0x64, 413);
    first.replace(4 + at, record.size(), record);
    return first + Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Tag("", "", "", "", "", 0);
}

std::string Id3v2Header(int version, std::uint32_t size) {
    std::string h{'I', 'D', '3', static_cast<char>(version), 0, 0};
    for (int shift : {21, 14, 7, 0})
        h += static_cast<char>((size >> shift) & 0x7F);
    return h;
}

std::string TextFrame(const char* id, std::string_view text, std::uint32_t size = 0) {
    return std::string(id) + Be32(size != 0 ? size : 1 + text.size()) + std::string(2, '\0') +
           '\0' + std::string(text);
}

struct SHostileCase {
    const char* name;
    std::string bytes;
    const char* title; // null: as today
    const char* time;
    const char* bitrate;
};

// 1000 frames of 1152 samples at 44.1 kHz last 26.1 s; 390,000 bytes over them make 119.4 kbit/s.
const std::string kCounts = Be32(1000) + Be32(390000);
const std::string kAudio = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + std::string(200, ' ');

const SHostileCase kHostileCases[] = {
    {"xing", Stream(32, "Xing" + Be32(3) + kCounts), nullptr, "0:26", "119 kbit/s"},
    {"xing with checksum", Stream(32, "Xing" + Be32(3) + kCounts, 0xFA), nullptr, "0:26",
     "119 kbit/s"},
    {"vbri", Stream(32, "VBRI" + std::string(6, '\1') + Be32(390000) + Be32(1000)), nullptr, "0:26",
     "119 kbit/s"},
    {"info", Stream(32, "Info" + Be32(3) + kCounts), nullptr, nullptr, nullptr},
    {"zero frames", Stream(32, "Xing" + Be32(3) + Be32(0) + Be32(390000)), nullptr, nullptr,
     nullptr},
    {"zero bytes", Stream(32, "Xing" + Be32(3) + Be32(1000) + Be32(0)), nullptr, nullptr, nullptr},
    {"absurd bitrate", Stream(32, "Xing" + Be32(3) + Be32(1) + Be32(400000)), nullptr, nullptr,
     nullptr},
    {"no frame count", Stream(32, "Xing" + Be32(2) + Be32(390000)), nullptr, nullptr, nullptr},
    {"xing past a short body",
     Mp3Maker::Frame(0xF3, 0x10, 0xC4, 20).replace(13, 8, std::string("Xing\0\0\0\3", 8)) + kAudio,
     nullptr, nullptr, nullptr},
    {"tag beyond the file",
     Id3v2Header(3, 1 << 20) + TextFrame("TIT2", "Kept") + std::string(200, ' '), "Kept", nullptr,
     nullptr},
    {"frame beyond the tag",
     Id3v2Header(3, 30) + TextFrame("TIT2", "Kept") + TextFrame("TALB", "x", 5000) + kAudio, "Kept",
     nullptr, nullptr},
    {"frame beyond the file",
     Id3v2Header(4, 1 << 20) + TextFrame("TALB", "x", 0x7F7F) + TextFrame("TIT2", "Lost") + kAudio,
     "", nullptr, nullptr},
    {"broken frame id", Id3v2Header(3, 40) + "TI-2" + TextFrame("TIT2", "Lost") + kAudio, "",
     nullptr, nullptr},
};

} // namespace

TEST(Mp3FileVbr, HostileCountsAndSizes) {
    CTempDir dir;
    CRecordingReporter reporter;
    for (const SHostileCase& c : kHostileCases) {
        SCOPED_TRACE(c.name);
        dir.Write("h.mp3", c.bytes);
        CMp3File on;
        CMp3File today;
        ASSERT_TRUE(on.Load(dir.Path(), "h.mp3", reporter));
        ASSERT_TRUE(today.Load(dir.Path(), "h.mp3", reporter, kToday));
        EXPECT_EQ(on.Title(), c.title ? c.title : today.Title());
        EXPECT_EQ(on.GetFieldText(EFieldId::Time),
                  c.time ? c.time : today.GetFieldText(EFieldId::Time));
        EXPECT_EQ(on.BitrateText(), c.bitrate ? c.bitrate : today.BitrateText());
    }
}
