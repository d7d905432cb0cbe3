#include "PropertiesFixture.h"

#include "dialogs/CoverPage.h"
#include "model/Mp3File.h"
#include "support/ModalDriver.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <array>
#include <filesystem>
#include <list>

// The sheet's cover page on lame-made files whose pictures mutagen wrote, driven through its
// buttons with the file choosers and the question answered as a user answers them; mutagen
// then reads what OK wrote.
namespace {

class CCoverPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (Audio().empty() || std::system("convert -version >/dev/null 2>&1 && "
                                           "/usr/bin/python3 -c 'import mutagen' 2>/dev/null") != 0)
            GTEST_SKIP() << "lame, ImageMagick or python3-mutagen is missing";
        dir.Write("audio.bin", Audio());
        // Noise does not compress: over a megabyte at this size.
        ASSERT_EQ(Run("convert -size 90x60 gradient:red-blue '" + dir / "small.png" +
                      "' && convert -size 700x700 xc: +noise Random -quality 100 '" +
                      dir / "large.jpg" + "'"),
                  0);
    }
    static int Run(const std::string& command) { return std::system(command.c_str()); }
    // A track of `kind` (see id3v2_covers.py), with a copy of it as it was.
    CMp3File* Make(const std::string& name, int version, const char* kind) {
        const std::string path = dir / name;
        EXPECT_EQ(Run("/usr/bin/python3 " ID3V2_COVERS " make '" + path + "' '" +
                      dir / "audio.bin" + "' " + std::to_string(version) + " " + kind),
                  0);
        std::filesystem::copy_file(path, path + ".old");
        auto& track = tracks_.emplace_back();
        CRecordingReporter reporter;
        EXPECT_TRUE(track.Load(dir.Path(), name, reporter));
        return &track;
    }
    bool Check(const std::string& name, const std::string& image) const {
        return Run("/usr/bin/python3 " ID3V2_COVERS " check '" + dir / (name + ".old") + "' '" +
                   dir / name + "' " + (image == "-" ? image : dir / image)) == 0;
    }
    // Clicks `button` of the page; the file chooser it opens gets `file`.
    static void Click(CCoverPage& page, const char* button, const std::string& file) {
        const auto chooser = WhenModal<QFileDialog>([file](QFileDialog& dialog) {
            dialog.selectFile(QString::fromStdString(file));
            static_cast<QDialog&>(dialog).accept();
        });
        page.findChild<QPushButton*>(QLatin1String(button))->click();
    }
    static QString Info(CCoverPage& page) {
        return page.findChild<QLabel*>(QStringLiteral("coverInfo"))->text();
    }
    static bool Enabled(CCoverPage& page, const char* button) {
        return page.findChild<QPushButton*>(QLatin1String(button))->isEnabled();
    }

    CTempDir dir;
    std::list<CMp3File> tracks_;
};

} // namespace

// One track: the image chosen shows with its size and kind, is saved as it is, and OK writes it;
// the next sheet shows it from the file, and removes it.
TEST_F(CCoverPageTest, OneTrackReplacedSavedAndRemoved) {
    CMp3File* track = Make("one.mp3", 3, "none");
    {
        CMp3PropertySheet sheet(TrackArray{track}, {});
        CCoverPage& page = sheet.Cover();
        EXPECT_FALSE(Enabled(page, "coverSaveAs"));
        EXPECT_FALSE(Enabled(page, "coverRemove"));
        Click(page, "coverReplace", dir / "small.png");
        EXPECT_EQ(Info(page), QStringLiteral("90 x 60 pixels, PNG, 1 KB"));
        Click(page, "coverSaveAs", dir / "saved.png");
        EXPECT_EQ(ReadFileBytes(dir / "saved.png"), ReadFileBytes(dir / "small.png"));
        CRecordingReporter reporter;
        EXPECT_EQ(sheet.WriteTags(reporter), 1U);
        EXPECT_TRUE(Check("one.mp3", "small.png"));
    }
    std::filesystem::copy_file(dir / "one.mp3", dir / "one.mp3.old",
                               std::filesystem::copy_options::overwrite_existing);
    CMp3PropertySheet sheet(TrackArray{track}, {});
    EXPECT_EQ(Info(sheet.Cover()), QStringLiteral("90 x 60 pixels, PNG, 1 KB"));
    sheet.Cover().findChild<QPushButton*>(QStringLiteral("coverRemove"))->click();
    EXPECT_FALSE(Enabled(sheet.Cover(), "coverRemove"));
    CRecordingReporter reporter;
    EXPECT_EQ(sheet.WriteTags(reporter), 1U);
    EXPECT_TRUE(Check("one.mp3", "-"));
}

// Several tracks: a large image is asked about, and taken only on Yes; OK gives it to each.
TEST_F(CCoverPageTest, SeveralTracksTakeOneCoverAfterAQuestion) {
    TrackArray tracks{Make("a.mp3", 4, "front"), Make("b.mp3", 3, "other")};
    CMp3PropertySheet sheet(tracks, {});
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        int asked = 0;
        const auto question = WhenModal<QMessageBox>([answer, &asked](QMessageBox& box) {
            asked += box.icon() == QMessageBox::Question ? 1 : 0;
            box.button(answer)->click();
        });
        Click(sheet.Cover(), "coverReplace", dir / "large.jpg");
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(sheet.Cover().Edit().has_value(), answer == QMessageBox::Yes);
    }
    CRecordingReporter reporter;
    EXPECT_EQ(sheet.WriteTags(reporter), 2U);
    EXPECT_TRUE(Check("a.mp3", "large.jpg"));
    EXPECT_TRUE(Check("b.mp3", "large.jpg"));
}
