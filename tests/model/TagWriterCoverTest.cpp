#include "model/EmbeddedCover.h"
#include "model/Mp3File.h"
#include "model/TagWriter.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

// The front cover written and removed on files tagged by mutagen, which then reads them back:
// the new picture frame as written, every other frame, the version, the audio and the ID3v1 tag
// as they were. Images are ImageMagick's.
namespace {

using namespace std::string_literals;
using EReason = STagWriteResult::EReason;

STagWriteResult WriteCover(const std::string& path, const std::string& image, bool id3v2 = true) {
    CMp3File track;
    CRecordingReporter reporter;
    const std::filesystem::path at(path);
    EXPECT_TRUE(track.Load(at.parent_path().string(), at.filename().string(), reporter));
    STagEdit edit;
    edit.cover.emplace(image.begin(), image.end());
    return CTagWriter(id3v2).Write(track, edit);
}

struct SCoverCase {
    const char* name;
    int version;
    const char* kind;  // what the file holds: see id3v2_covers.py
    const char* image; // the new cover's file, "-" to remove it
    bool id3v2 = true; // the WriteId3v2 setting
};

void PrintTo(const SCoverCase& c, std::ostream* out) {
    *out << c.name;
}

const SCoverCase kCases[] = {
    {"FrontCoversOf23", 3, "front", "cover.png"},
    {"FrontCoversOf24", 4, "front", "cover.jpg"},
    {"OtherPictureOf24", 4, "other", "cover.webp"},
    {"NoPictureOf23", 3, "none", "cover.jpg"},
    {"NoPictureSettingOff", 4, "none", "cover.png", false},
    {"UntaggedGainsA23Tag", 3, "bare", "cover.png"},
    {"RemoveFrontCovers23", 3, "front", "-"},
    {"RemoveFrontCovers24", 4, "front", "-"},
    {"RemoveOtherPicture", 3, "other", "-"},
    {"RemoveNothing", 4, "none", "-"},
    {"RemoveFromUntagged", 3, "bare", "-"},
};

class CCoverWrite : public ::testing::TestWithParam<SCoverCase> {
protected:
    static void SetUpTestSuite() {
        if (std::system("lame --version >/dev/null 2>&1 && convert -version >/dev/null 2>&1 && "
                        "/usr/bin/python3 -c 'import mutagen' 2>/dev/null") != 0)
            return;
        dir_ = std::make_unique<CTempDir>();
        ASSERT_TRUE(Mp3Maker::Encode(*dir_ / "audio.bin", 0.5, 44100, "-b 64"));
        for (const char* image : {"cover.png", "cover.jpg", "cover.webp"})
            ASSERT_EQ(Run("convert -size 90x60 gradient:red-blue '" + *dir_ / image + "'"), 0);
    }
    static void TearDownTestSuite() { dir_.reset(); }
    void SetUp() override {
        if (!dir_)
            GTEST_SKIP() << "lame, ImageMagick or python3-mutagen is not installed";
    }
    static int Run(const std::string& command) { return std::system(command.c_str()); }

    static inline std::unique_ptr<CTempDir> dir_;
};

} // namespace

TEST_P(CCoverWrite, AsMutagenReadsIt) {
    const SCoverCase& c = GetParam();
    const std::string old = *dir_ / (c.name + ".old"s);
    const std::string path = *dir_ / (c.name + ".mp3"s);
    ASSERT_EQ(Run("/usr/bin/python3 " ID3V2_COVERS " make '" + old + "' '" + *dir_ / "audio.bin" +
                  "' " + std::to_string(c.version) + " " + c.kind),
              0);
    std::filesystem::copy_file(old, path);
    const bool remove = c.image == "-"s;
    const std::string image = remove ? "" : ReadFileBytes(*dir_ / c.image);
    ASSERT_TRUE(WriteCover(path, image, c.id3v2).Written());
    EXPECT_EQ(Run("/usr/bin/python3 " ID3V2_COVERS " check '" + old + "' '" + path + "' " +
                  (remove ? "-" : *dir_ / c.image)),
              0);
    // The reader finds what the writer wrote; a back cover left is the cover then.
    const auto cover = SEmbeddedCover::Read(path);
    ASSERT_EQ(cover.has_value(), !remove || c.kind == "front"s);
    EXPECT_TRUE(remove || std::string(cover->bytes.begin(), cover->bytes.end()) == image);
    EXPECT_EQ(cover && cover->type == 3, !remove);
}

INSTANTIATE_TEST_SUITE_P(Cases, CCoverWrite, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

namespace {

const std::string kAudio = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(3000);
const std::string kJpeg = "\xFF\xD8\xFF\xE0"s + std::string(40, 'j');
const std::string kWebP = "RIFF\x30\0\0\0WEBPVP8 "s + std::string(40, 'w');

// A 2.2 tag: a title, and a picture of `type`.
std::string Tag22(char type) {
    const std::string picture = "\0JPG"s + type + "old\0"s + kJpeg;
    const std::string frames =
        "TT2\0\0\x06\0Title"s + "PIC\0\0"s + static_cast<char>(picture.size()) + picture;
    return "ID3\x02\0\0\0\0\x01\0"s + frames + std::string(128 - frames.size(), '\0');
}

struct SPictureCase {
    const char* name;
    std::string head; // the file's bytes before the audio
    std::string image;
    const char* format; // the picture's format as the file then names it; none: refused
};

void PrintTo(const SPictureCase& c, std::ostream* out) {
    *out << c.name;
}

const SPictureCase kPictures[] = {
    {"Png22", Tag22(0), "\x89PNG\r\n\x1A\n"s + std::string(40, 'p'), "PNG"},
    {"Jpeg22", Tag22(3), kJpeg, "JPG"},
    {"WebP22", Tag22(3), kWebP, nullptr},
    {"WebPWithoutTag", "", kWebP, "image/webp"},
    {"NoImage", Tag22(3), "GIF89a"s + std::string(40, 'g'), nullptr},
    {"NoImageWithoutTag", "", "<svg>", nullptr},
};

class CPictureWrite : public ::testing::TestWithParam<SPictureCase> {};

} // namespace

// A 2.2 tag names its image in three letters, and has no name for WebP; bytes of no known image
// are no cover. A refused file keeps its bytes.
TEST_P(CPictureWrite, NamesTheImageOrRefuses) {
    const SPictureCase& c = GetParam();
    CTempDir dir;
    const std::string path = dir.Write("t.mp3", c.head + kAudio);
    const STagWriteResult result = WriteCover(path, c.image);
    const auto cover = SEmbeddedCover::Read(path);
    if (c.format == nullptr) {
        EXPECT_EQ(result.reason, EReason::Picture);
        EXPECT_EQ(ReadFileBytes(path), c.head + kAudio);
        return;
    }
    ASSERT_TRUE(result.Written() && cover);
    EXPECT_EQ(cover->format, c.format);
    EXPECT_EQ(cover->type, 3);
    EXPECT_EQ(std::string(cover->bytes.begin(), cover->bytes.end()), c.image);
    EXPECT_TRUE(ReadFileBytes(path).ends_with(kAudio));
}

INSTANTIATE_TEST_SUITE_P(Cases, CPictureWrite, ::testing::ValuesIn(kPictures),
                         [](const auto& test) { return std::string(test.param.name); });
