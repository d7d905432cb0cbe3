#include "model/ArchiveWriter.h"
#include "model/Id3v2Picture.h"
#include "model/Mp3File.h"
#include "model/Mp3FileList.h"
#include "platform/File.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Where the walk notes a track's front cover: real files from lame, pictures embedded by
// mutagen (2.2 made by hand as mutagen reads it), images made by ImageMagick; the note must
// point at exactly the image's bytes.
namespace {

using EImage = SCoverSource::EImage;

bool HaveTools() {
    return std::system("lame --version >/dev/null 2>&1") == 0 &&
           std::system("convert -version >/dev/null 2>&1") == 0 &&
           std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") == 0;
}

struct SCase {
    const char* name;
    int version;
    std::vector<std::string> pictures; // TYPE:MIME:ENCODING:DESCRIPTION:IMAGE
    int chosen;                        // which picture the note names; -1 none
    EImage image;
};

const SCase kCases[] = {
    {"front cover", 3, {"3:image/jpeg:0:cover:red.jpg"}, 0, EImage::Jpeg},
    {"front after another",
     4,
     {"0:image/png:3:back:blue.png", "3:image/jpeg:3:front:red.jpg"},
     1,
     EImage::Jpeg},
    {"first without a front",
     3,
     {"4:image/png:1:R\xC3\xBC"
      "ck:blue.png",
      "5:image/jpeg:1:leaflet:red.jpg"},
     0,
     EImage::Png},
    {"wide description", 4, {"3:IMAGE/WEBP:2:\xCE\xA9mega:green.webp"}, 0, EImage::WebP},
    {"unknown type", 3, {"3:image/gif:0:g:blue.png"}, 0, EImage::Unknown},
    {"2.2", 2, {"4:JPG:0:x:red.jpg", "3:PNG:1:y:blue.png"}, 1, EImage::Png},
    {"none", 3, {}, -1, EImage::Unknown},
};

std::string Bytes(const std::string& path, std::uint64_t offset, std::uint64_t length) {
    return ReadFileBytes(path).substr(offset, length);
}

// The audio and the images are made once for the suite.
class PictureNote : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!HaveTools())
            return;
        shared_ = new CTempDir();
        made_ = Mp3Maker::Encode(*shared_ / "audio.bin", 0.3, 44100, "-b 64");
        for (const char* image : {"red.jpg", "blue.png", "green.webp"}) {
            const std::string color(image, std::string_view(image).find('.'));
            const std::string command =
                "convert -size 8x8 xc:" + color + " '" + *shared_ / image + "' 2>/dev/null";
            made_ = made_ && std::system(command.c_str()) == 0;
        }
    }
    static void TearDownTestSuite() {
        delete shared_;
        shared_ = nullptr;
    }
    void SetUp() override {
        if (shared_ == nullptr)
            GTEST_SKIP() << "lame, ImageMagick or python3-mutagen is not installed";
        ASSERT_TRUE(made_);
        for (const char* name : {"audio.bin", "red.jpg", "blue.png", "green.webp"})
            dir_.Write(name, ReadFileBytes(*shared_ / name));
    }

    std::string Make(const std::string& name, const SCase& c) const {
        std::string command = "/usr/bin/python3 " ID3V2_FILES " pictures '" + dir_ / name + "' '" +
                              dir_ / "audio.bin" + "' " + std::to_string(c.version);
        for (const std::string& picture : c.pictures) {
            const std::string image = picture.substr(picture.rfind(':') + 1);
            command += " '" + picture.substr(0, picture.rfind(':') + 1) + dir_ / image + "'";
        }
        EXPECT_EQ(std::system(command.c_str()), 0);
        return dir_ / name;
    }

    CPictureNote Load(const std::string& name) const {
        CMp3File track;
        CRecordingReporter reporter;
        CPictureNote picture;
        EXPECT_TRUE(track.Load(dir_.Path(), name, reporter, {}, &picture));
        return picture;
    }

    CTempDir dir_;
    static inline CTempDir* shared_ = nullptr;
    static inline bool made_ = false;
};

} // namespace

// A note of the frame alone (its head lay past what the walk read) finds the same bytes by
// reading the frame's head; a place that holds no such frame finds none.
TEST_F(PictureNote, PointsAtTheImageBytes) {
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string path = Make("t.mp3", c);
        const CPictureNote note = Load("t.mp3");
        if (c.chosen < 0) {
            EXPECT_FALSE(note);
            continue;
        }
        ASSERT_EQ(note.Kind(), CPictureNote::EKind::Image);
        const std::string& chosen = c.pictures[static_cast<std::size_t>(c.chosen)];
        const std::string image = ReadFileBytes(dir_ / chosen.substr(chosen.rfind(':') + 1));
        EXPECT_EQ(Bytes(path, note.Offset(), note.Length()), image);
        EXPECT_EQ(note.Image(), c.image);
        const std::size_t frame =
            ReadFileBytes(path).rfind(c.version == 2 ? "PIC" : "APIC", note.Offset());
        CFile file;
        ASSERT_EQ(file.Open(path, CFile::EMode::Read), CFile::EOpenResult::Opened);
        const auto frameNote = [&](std::uint64_t at, std::uint64_t end) {
            return CId3v2Picture::Locate(file, CPictureNote::Make(CPictureNote::EKind::Frame, at,
                                                                  end - at, EImage::Unknown));
        };
        EXPECT_EQ(frameNote(frame, note.End()), note);
        EXPECT_FALSE(frameNote(frame + 1, note.End()));
        EXPECT_FALSE(frameNote(frame, note.End() + 1));
    }
}

namespace {

// A 2.3 or 2.4 tag (sizes below 128) of one picture frame with `flags`, the tag's `tagFlags`.
std::string HandTag(int version, std::uint8_t tagFlags, std::uint8_t flags, int declared) {
    const std::string body = std::string("\0image/png\0\3\0", 13) + "PICTUREBYTES";
    const std::string frame = "APIC" + std::string{0, 0, 0, static_cast<char>(declared)} +
                              std::string{0, static_cast<char>(flags)} + body;
    return "ID3" +
           std::string{static_cast<char>(version),     0, static_cast<char>(tagFlags), 0, 0, 0,
                       static_cast<char>(frame.size())} +
           frame;
}

} // namespace

TEST_F(PictureNote, NoNoteWhereThePictureCannotBeReadInPlace) {
    const std::string audio = ReadFileBytes(dir_ / "audio.bin");
    struct SHand {
        const char* name;
        std::string tag;
        bool noted;
    };
    const SHand cases[] = {
        {"readable", HandTag(4, 0, 0, 25), true},
        {"unsynchronised frame", HandTag(4, 0, 0x02, 25), false},
        {"unsynchronised tag", HandTag(3, 0x80, 0, 25), false},
        {"compressed", HandTag(3, 0, 0x80, 25), false},
        {"frame past the tag", HandTag(4, 0, 0, 60), false},
        {"no image byte", HandTag(4, 0, 0, 13), false},
    };
    for (const SHand& c : cases) {
        SCOPED_TRACE(c.name);
        dir_.Write("h.mp3", c.tag + audio);
        EXPECT_EQ(static_cast<bool>(Load("h.mp3")), c.noted);
    }
    // A file that ends within the picture.
    const std::string path = Make("t.mp3", kCases[0]);
    const CPictureNote whole = Load("t.mp3");
    ASSERT_TRUE(whole);
    dir_.Write("cut.mp3", ReadFileBytes(path).substr(0, whole.End() - 1));
    EXPECT_FALSE(Load("cut.mp3"));
}

// The notes stay with their records as the list moves them.
TEST(PictureNotes, FollowTheirRecords) {
    const auto note = [](std::uint64_t offset) {
        return CPictureNote::Make(CPictureNote::EKind::Image, offset, 5, EImage::Png);
    };
    CMp3FileList list;
    std::vector<CMp3File*> records;
    for (std::uint64_t i = 0; i < 4; ++i) {
        records.push_back(&list.Append());
        list.SetPicture(*records.back(), note(100 + i));
    }
    CMp3FileList added;
    added.SetPicture(added.Append(), note(200));
    CMp3File other;
    EXPECT_FALSE(list.PictureOf(other)) << "a record of no list";
    list.Rearrange({records[3], added.GetAt(0), records[1]}, added);
    EXPECT_EQ(list.PictureOf(*list.GetAt(0)), note(103));
    EXPECT_EQ(list.PictureOf(*list.GetAt(1)), note(200));
    EXPECT_EQ(list.PictureOf(*list.GetAt(2)), note(101));
    list.RemoveLast(); // compacts
    EXPECT_EQ(list.PictureOf(*list.GetAt(0)), note(103));
    EXPECT_EQ(list.PictureOf(*list.GetAt(1)), note(200));
    CMp3FileList tail;
    tail.SetPicture(tail.Append(), note(300));
    list.Replace(1, tail);
    ASSERT_EQ(list.GetSize(), 2U);
    EXPECT_EQ(list.PictureOf(*list.GetAt(1)), note(300));
}

namespace {

// A section of the extras (its id, then its body as an archive string) of one entry.
std::string Section(std::uint8_t id, const std::function<void(CArchiveWriter&)>& entry) {
    CArchiveWriter body;
    body.WriteInt32(1);
    entry(body);
    CArchiveWriter section;
    section.WriteByte(id);
    section.WriteString(body.Bytes());
    return section.Bytes();
}

// index | kind | image | offset | length
std::string PictureSection(std::int32_t index, std::uint8_t kind, std::int32_t offset,
                           std::int32_t length) {
    return Section(11, [&](CArchiveWriter& b) {
        b.WriteInt32(index);
        b.WriteByte(kind);
        b.WriteByte(1);
        b.WriteInt32(offset);
        b.WriteInt32(length);
    });
}

} // namespace

// The snapshot gives the notes and the folders' images back; a section that names what no walk
// could have noted breaks it, as a cut record does.
TEST_F(PictureNote, SnapshotKeepsNotesAndRefusesHostileOnes) {
    dir_.Write("h.mp3", HandTag(4, 0, 0, 25) + ReadFileBytes(dir_ / "audio.bin"));
    CMp3FileList list;
    CRecordingReporter reporter;
    CPictureNote picture;
    ASSERT_TRUE(list.Append().Load(dir_.Path(), "h.mp3", reporter, {}, &picture));
    list.PoolLast();
    list.SetPicture(*list.GetAt(0), picture);
    list.FolderImages().Set(dir_.Path(), "cover.jpg");
    list.FolderImages().Set(dir_ / "CD1", "front.png");
    ASSERT_TRUE(list.SaveSnapshot(dir_.Path()));
    CMp3FileList back;
    ASSERT_EQ(back.LoadSnapshot(dir_.Path()), CMp3FileList::ELoadResult::Loaded);
    EXPECT_EQ(back.PictureOf(*back.GetAt(0)), picture);
    EXPECT_EQ(back.FolderImages(), list.FolderImages());

    const std::string snapshot = ReadFileBytes(dir_ / "mp3cache.qvc");
    const auto image = [](std::string folder, std::string name) {
        return Section(12, [&](CArchiveWriter& b) {
            b.WriteString(folder);
            b.WriteString(name);
        });
    };
    const std::pair<const char*, std::string> sections[] = {
        {"well formed", PictureSection(0, 1, 20, 5) + image("CD1", "Cover.webp")},
        {"index past the records", PictureSection(1, 1, 20, 5)},
        {"unknown kind", PictureSection(0, 3, 20, 5)},
        {"offset within the tag's header", PictureSection(0, 1, 4, 5)},
        {"length past what a tag holds", PictureSection(0, 1, 20, 0x40000000)},
        {"a path for a name", image("", "../cover.jpg")},
        {"no cover's name", image("", "notes.txt")},
        {"a folder above", image("../x", "cover.jpg")},
    };
    for (const auto& [name, section] : sections) {
        SCOPED_TRACE(name);
        dir_.Write("mp3cache.qvc", snapshot + section);
        CMp3FileList read;
        EXPECT_EQ(read.LoadSnapshot(dir_.Path()), section == sections[0].second
                                                      ? CMp3FileList::ELoadResult::Loaded
                                                      : CMp3FileList::ELoadResult::Broken);
    }
}
