// Finding a folder: the chooser on a first start without a music folder and on File > Open
// Folder, the address box's completion of folder names, and the word on an address that names
// no folder.
#include "catalog/QuavDoc.h"
#include "frame/AddressBar.h"
#include "frame/CommandTable.h"
#include "gui/AppFixture.h"
#include "settings/SettingsKeys.h"
#include "support/ModalDriver.h"

#include <QAction>
#include <QCompleter>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

#include <filesystem>

using namespace SettingsKey;
using FindFolder = CAppFixture;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Answers the folder chooser with `folder`, or cancels it when empty; counts the choosers seen.
std::unique_ptr<QTimer> AnswerChooser(const std::string& folder, int& shown) {
    return WhenModal<QFileDialog>([folder, &shown](QFileDialog& dialog) {
        ++shown;
        if (folder.empty()) {
            dialog.reject();
            return;
        }
        dialog.selectFile(Q(folder));
        static_cast<QDialog&>(dialog).accept();
    });
}

} // namespace

// Without a music folder the home folder is not walked: the user chooses, or, on Cancel, the
// window stays empty and says how to open a folder.
TEST_F(FindFolder, AFirstStartWithoutAMusicFolderAsksForOne) {
    Track("home/Stuff/a.mp3", "Ann");
    Track("elsewhere/b.mp3", "Bob");
    CScopedEnv home("HOME", (dir / "home").c_str());
    CScopedEnv musicDir("XDG_MUSIC_DIR", nullptr);
    CScopedEnv config("XDG_CONFIG_HOME", (dir / "config").c_str());
    for (const std::string& answer : {std::string(), dir / "elsewhere"}) {
        int shown = 0;
        std::unique_ptr<QTimer> chooser;
        Start({}, [&] { chooser = AnswerChooser(answer, shown); });
        for (int i = 0; i < 20 && shown == 0; ++i)
            Idle();
        Idle();
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(Doc().Address(), answer);
        EXPECT_EQ(Named<QLabel>("emptyHint").isVisible(), answer.empty());
        EXPECT_FALSE(std::filesystem::exists(dir / "home/mp3cache.qvc"));
        Close();
        app.reset();
    }
    EXPECT_EQ(Stored(kSectionMp3, kFilePath), dir / "elsewhere");
}

// File > Open Folder (Ctrl+O) and the button at the end of the address box open the chooser;
// the folder chosen opens and joins the address list.
TEST_F(FindFolder, OpenFolderAndTheBrowseButtonChoose) {
    Track("music/a.mp3", "Ann");
    Track("other/b.mp3", "Bob");
    Track("third/c.mp3", "Cy");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    int shown = 0;
    {
        const auto chooser = AnswerChooser(dir / "other", shown);
        Frame().Commands().Action(ECommandId::Open)->trigger();
    }
    EXPECT_EQ(Doc().Address(), dir / "other");
    QAction* browse = AddressBox().lineEdit()->findChild<QAction*>(QStringLiteral("browseFolder"));
    ASSERT_NE(browse, nullptr);
    {
        const auto chooser = AnswerChooser(dir / "third", shown);
        browse->trigger();
    }
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(Doc().Address(), dir / "third");
    EXPECT_TRUE(AddressBox().Entries().contains(Q(dir / "other")));
    EXPECT_TRUE(AddressBox().Entries().contains(Q(dir / "third")));
    EXPECT_EQ(Frame().Commands().Action(ECommandId::Open)->shortcut(), QKeySequence::Open);
}

// Typing a path offers the folders below it, never a file.
TEST_F(FindFolder, TheAddressCompletesFolderNames) {
    Track("music/a.mp3", "Ann");
    dir.MakeDir("mutter");
    dir.Write("museum.mp3", "not a folder");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    QCompleter* completer = AddressBox().completer();
    ASSERT_NE(completer, nullptr);
    AddressBox().lineEdit()->clear();
    QTest::keyClicks(AddressBox().lineEdit(), Q(dir / "mu"));
    QStringList offered;
    for (int wait = 0; wait < 100 && offered.size() < 2; ++wait) {
        completer->setCompletionPrefix(Q(dir / "mu"));
        offered.clear();
        for (int row = 0; completer->setCurrentRow(row); ++row)
            offered.append(completer->currentCompletion());
        Idle();
    }
    offered.sort();
    EXPECT_EQ(offered, (QStringList{Q(dir / "music"), Q(dir / "mutter")}));
}

// The content stays; the status bar names what could not be opened.
TEST_F(FindFolder, AnAddressThatIsNoFolderSaysSo) {
    Track("music/a.mp3", "Ann");
    const std::string file = Track("music/b.mp3", "Bob");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    EXPECT_FALSE(Frame().GoToAddress(file));
    EXPECT_EQ(Frame().statusBar()->currentMessage(), Q("'" + file + "' is not a folder."));
    EXPECT_FALSE(Frame().GoToAddress(dir / "gone"));
    EXPECT_EQ(Frame().statusBar()->currentMessage(), Q(dir / "gone: no such folder"));
    EXPECT_EQ(Doc().Address(), Music());
    EXPECT_EQ(Doc().GetTrackList().GetSize(), 2u);
}

// A folder on the command line that does not exist is named on standard error and in the
// window, which opens the last address.
TEST_F(FindFolder, ACommandLineFolderThatIsGoneOpensTheLastAddress) {
    Track("music/a.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    testing::internal::CaptureStderr();
    Start({Q(dir / "gone")});
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("quavero: " + dir / "gone" + ": no such folder\n"), std::string::npos)
        << err;
    EXPECT_EQ(Doc().Address(), Music());
    EXPECT_EQ(Frame().statusBar()->currentMessage(), Q(dir / "gone: no such folder"));
}
