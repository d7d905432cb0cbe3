#include "PropertiesFixture.h"

#include "model/Mp3File.h"
#include "support/Mp3Maker.h"

#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <sys/stat.h>

// The sheet on files with an ID3v2 tag, as mutagen writes them: the texts of those tags, long
// or not, take no limit and are never rewritten shorter; mutagen reads what the sheet wrote.
namespace {

std::string Hex(const QString& text) {
    std::ostringstream out;
    for (const unsigned char c : text.toStdString())
        out << std::hex << (c < 16 ? "0" : "") << static_cast<int>(c);
    return out.str();
}

class CPropertiesId3v2Test : public CPropertiesTest {
protected:
    void SetUp() override {
        CPropertiesTest::SetUp();
        if (IsSkipped())
            return;
        if (std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") != 0)
            GTEST_SKIP() << "python3-mutagen is missing";
        const std::string audio = dir.Write("audio.bin", Audio());
        ASSERT_EQ(std::system(("/usr/bin/python3 " ID3V2_FILES " fixtures '" + dir.Path() + "' '" +
                               audio + "' >/dev/null")
                                  .c_str()),
                  0);
    }
    // A mutagen fixture in the music folder, with a copy of it as it was.
    void Take(const std::string& fixture, const std::string& name) {
        std::filesystem::create_directories(music);
        std::filesystem::copy_file(dir / fixture, music + "/" + name);
        std::filesystem::copy_file(dir / fixture, dir / (name + ".old"));
    }
    bool Verify(const std::string& name, const std::string& edits) const {
        return std::system(("/usr/bin/python3 " ID3V2_FILES " verify '" + dir / (name + ".old") +
                            "' '" + music + "/" + name + "' " + edits)
                               .c_str()) == 0;
    }
};

const QString kLongAlbum = QStringLiteral("An album typed longer than thirty bytes \u00E9");

} // namespace

// One track: the caption names it; its 43-byte title, untouched, neither stops OK nor is cut.
TEST_F(CPropertiesId3v2Test, OneTrackKeepsItsLongTextsWhole) {
    Take("both24_utf8.mp3", "one.mp3");
    ASSERT_NO_FATAL_FAILURE(Open());
    const QStringList told = Run({[](CMp3PropertySheet& sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Properties of one.mp3"));
        EXPECT_EQ(Edit(sheet, "title")->text().size(), 43);
        return Typing({{"comment", QStringLiteral("Typed")}})(sheet);
    }});
    EXPECT_TRUE(told.isEmpty()) << told.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(Verify("one.mp3", "comment=" + Hex(QStringLiteral("Typed"))));
    EXPECT_EQ(doc->GetTrackList().GetAt(0)->Comment(), "Typed");
    EXPECT_EQ(doc->GetTrackList().GetAt(0)->Title().size(), 43u);
}

// Several tracks that all have an ID3v2 tag: a text of any length; with one file that would
// keep it in an ID3v1 tag alone, 30 bytes.
TEST_F(CPropertiesId3v2Test, SeveralTracksTakeAnyLengthWhereEveryFileHasAnId3v2Tag) {
    Take("both23_utf16.mp3", "a.mp3");
    Take("m24_utf8.mp3", "b.mp3");
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(Run({[](CMp3PropertySheet& sheet) {
                    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Properties of 2 tracks"));
                    return Typing({{"album", kLongAlbum}})(sheet);
                }}).isEmpty());
    for (const char* name : {"a.mp3", "b.mp3"})
        EXPECT_TRUE(Verify(name, "album=" + Hex(kLongAlbum))) << name;

    Put("c.mp3", "");
    ASSERT_TRUE(doc->OpenAddress(music));
    Run({[](CMp3PropertySheet& sheet) {
        const EButton button = Typing({{"album", kLongAlbum}}, QDialogButtonBox::Cancel)(sheet);
        EXPECT_EQ(Edit(sheet, "album")->text(), kLongAlbum.left(30));
        return button;
    }});
}

// OK with nothing changed leaves each file as it was, bytes and time: an ID3v2 tag alone, both
// tags (texts cut in the ID3v1 copy, an ID3v1.1 tag of its own), an ID3v1 tag alone. An edit
// then keeps an ID3v2 tag alone and both tags both.
TEST_F(CPropertiesId3v2Test, OkWithNothingChangedWritesNothing) {
    const std::string v1 = Mp3Maker::Tag("Title", "Artist", "Album", "2001", "Note", 13);
    dir.Write("v1.mp3", Audio() + v1);
    for (const char* fixture : {"m24_utf8.mp3", "both24_utf8.mp3", "both24_gaps.mp3", "v1.mp3"}) {
        SCOPED_TRACE(fixture);
        std::filesystem::remove_all(music);
        Take(fixture, "one.mp3");
        const std::string path = music + "/one.mp3";
        const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);
        if (doc)
            ASSERT_TRUE(doc->OpenAddress(music));
        else
            ASSERT_NO_FATAL_FAILURE(Open());
        EXPECT_TRUE(Run({Typing({})}).isEmpty());
        struct stat after {};
        ::stat(path.c_str(), &after);
        EXPECT_EQ(after.st_mtim.tv_sec, past[1].tv_sec);
        EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(dir / "one.mp3.old"));
        EXPECT_TRUE(Run({Typing({{"year", QStringLiteral("1984")}})}).isEmpty());
        if (std::string_view(fixture) == "v1.mp3")
            EXPECT_EQ(TagOf("one.mp3"), Written("Title", "Artist", "Album", "1984", "Note", 13));
        else
            EXPECT_TRUE(Verify("one.mp3", "year=" + Hex(QStringLiteral("1984"))));
        std::filesystem::remove(dir / "one.mp3.old");
    }
}

// One track shows its album artist, track and disc. Over two tracks the blank fields keep each
// one's own; a disc typed for a file with an ID3v1 tag alone gives it an ID3v2 tag, which the
// sheet says before OK, and the track shows the new disc at once.
TEST_F(CPropertiesId3v2Test, AlbumArtistTrackAndDisc) {
    Take("both23_utf16.mp3", "a.mp3");
    Put("b.mp3", Mp3Maker::Tag("Title", "Artist", "Album", "2001", "Note", 13));
    ASSERT_NO_FATAL_FAILURE(Open());
    const TrackArray tracks = doc->GetTrackList().Tracks();
    CMp3File* a = tracks[0]->FileName() == "a.mp3" ? tracks[0] : tracks[1];
    CMp3File* b = tracks[0] == a ? tracks[1] : tracks[0];
    CMp3PropertySheet one({a}, {});
    EXPECT_EQ(Edit(one, "track")->text() + Edit(one, "disc")->text(), QStringLiteral("7"));
    std::vector<bool> noted;
    const auto typing = [&noted](const Fields& fields) {
        return [&noted, fields](CMp3PropertySheet& sheet) {
            const EButton button = Typing(fields)(sheet);
            noted.push_back(sheet.NotesNewId3v2());
            return button;
        };
    };
    EXPECT_TRUE(Run({typing({{"comment", QStringLiteral("Typed")}})}).isEmpty());
    EXPECT_FALSE(ReadFileBytes(music + "/b.mp3").starts_with("ID3")) << "a comment fits ID3v1";
    EXPECT_TRUE(Run({typing({{"disc", QStringLiteral("2")}})}).isEmpty());
    EXPECT_EQ(noted, (std::vector<bool>{false, true}));
    EXPECT_TRUE(Verify("a.mp3", "comment=" + Hex(QStringLiteral("Typed")) + " disc=32"));
    EXPECT_TRUE(ReadFileBytes(music + "/b.mp3").starts_with("ID3"));
    EXPECT_EQ(a->Disc() + b->Disc(), 4);
    EXPECT_EQ(a->Track(), 7) << "a blank track number keeps each one's own";
}
