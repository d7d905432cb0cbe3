// The address bar in the real window: typed and chosen addresses, the icons of the entries,
// failures that change nothing, and the entries that survive a restart.
#include "frame/AddressBar.h"
#include "catalog/QuavDoc.h"
#include "frame/MainFrame.h"
#include "gui/AppFixture.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"
#include "settings/SettingsKeys.h"
#include "support/ModalDriver.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidgetItem>
#include <QWheelEvent>

#include <filesystem>

using namespace SettingsKey;
using AddressBar = CAppFixture;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void Type(CAddressBar& box, const QString& text) {
    box.lineEdit()->clear();
    QTest::keyClicks(&box, text);
    QTest::keyClick(&box, Qt::Key_Return);
}

void Wheel(CAddressBar& box, int notches) {
    const QPointF middle(box.width() / 2.0, box.height() / 2.0);
    QWheelEvent wheel(middle, box.mapToGlobal(middle), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&box, &wheel);
}

} // namespace

TEST_F(AddressBar, ATypedAddressOpensAndJoinsTheListOnlyWhenItExists) {
    Track("music/a.mp3", "Ann");
    Track("other/b.mp3", "Bob");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CAddressBar& box = AddressBox();

    Type(box, Q(dir / "other"));
    EXPECT_EQ(Doc().Address(), dir / "other");
    EXPECT_EQ(ChildTexts(Root()), QStringList{QStringLiteral("Bob")});
    EXPECT_EQ(box.Entries(), (QStringList{Q(dir / "other"), Q(Music())}));
    EXPECT_EQ(box.EntryImage(0), ResourceId::kImageFolder);
    EXPECT_EQ(box.currentIndex(), 0);

    const QString missing = Q(dir / "nowhere");
    Type(box, missing);
    EXPECT_EQ(box.Entries(), (QStringList{Q(dir / "other"), Q(Music())}));
    EXPECT_EQ(box.currentText(), missing);
    EXPECT_EQ(Doc().Address(), dir / "other");
    EXPECT_EQ(Frame().windowTitle(), Q(dir / "other") + QStringLiteral(" - Quavero"));
    EXPECT_EQ(Stored(kSectionMp3, kFilePath), dir / "other");

    // Typing a listed address again selects its entry instead of adding one.
    Type(box, Q(Music()));
    EXPECT_EQ(box.Entries(), (QStringList{Q(dir / "other"), Q(Music())}));
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(Doc().Address(), Music());
}

TEST_F(AddressBar, TheFavouritesAreTypedAsStarOrByTheirName) {
    Track("one/a.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionUser, kFavoriteAddresses, dir / "one");
    Start();
    CAddressBar& box = AddressBox();
    Type(box, QStringLiteral("*"));
    EXPECT_EQ(Doc().Address(), "*");
    EXPECT_EQ(box.Entries().value(0), QStringLiteral("My favorite addresses"));
    EXPECT_EQ(box.EntryImage(0), ResourceId::kImageFavorites);
    EXPECT_EQ(ChildTexts(Root()), QStringList{QStringLiteral("Ann")});

    Type(box, QStringLiteral("My favorite addresses"));
    EXPECT_EQ(box.count(), 2);
    EXPECT_EQ(box.currentIndex(), 0);
}

TEST_F(AddressBar, ShortTextsNameDrivesAndLongOnesFolders) {
    Start();
    CAddressBar& box = AddressBox();
    Frame().AddAddressEntry(QStringLiteral("ab"));
    EXPECT_EQ(box.currentText(), QStringLiteral("ab/"));
    EXPECT_EQ(box.EntryImage(0), ResourceId::kImageDrive);
    Frame().AddAddressEntry(QStringLiteral("ab/"));
    Frame().AddAddressEntry(QStringLiteral("/"));
    EXPECT_EQ(box.Entries().mid(0, 2), (QStringList{QStringLiteral("/"), QStringLiteral("ab/")}));
    EXPECT_EQ(box.EntryImage(0), ResourceId::kImageDrive);
    Frame().AddAddressEntry(QStringLiteral("/mnt"));
    EXPECT_EQ(box.EntryImage(0), ResourceId::kImageFolder);
    // Directories that differ in case are different directories here.
    Frame().AddAddressEntry(QStringLiteral("/MNT"));
    EXPECT_EQ(box.Entries().mid(0, 2),
              (QStringList{QStringLiteral("/MNT"), QStringLiteral("/mnt")}));
}

TEST_F(AddressBar, AChosenEntryOpensWithoutMovingAndAGoneOneChangesNothing) {
    Track("music/a.mp3", "Ann");
    Track("other/b.mp3", "Bob");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionUser, "Address0", dir / "other");
    Start();
    CAddressBar& box = AddressBox();
    ASSERT_EQ(box.Entries(), (QStringList{Q(Music()), Q(dir / "other")}));
    ASSERT_EQ(box.currentIndex(), 0);

    QTest::keyClick(&box, Qt::Key_Down);
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(Doc().Address(), dir / "other");
    EXPECT_EQ(box.Entries(), (QStringList{Q(Music()), Q(dir / "other")}));
    EXPECT_EQ(box.currentIndex(), 1);

    std::filesystem::remove_all(Music());
    QTest::keyClick(&box, Qt::Key_Up);
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(Doc().Address(), dir / "other");
    EXPECT_EQ(ChildTexts(Root()), QStringList{QStringLiteral("Bob")});
    EXPECT_EQ(box.Entries(), (QStringList{Q(Music()), Q(dir / "other")}));
}

TEST_F(AddressBar, TheTopFiveEntriesSurviveARestart) {
    Set(kSectionMp3, kFilePath, Music());
    Start();
    QStringList opened;
    for (int i = 0; i < 7; ++i) {
        const QString folder = Q(dir.MakeDir("folder" + std::to_string(i)));
        Type(AddressBox(), folder);
        opened.prepend(folder);
    }
    EXPECT_EQ(AddressBox().count(), 8);
    Close();
    app.reset();

    Start();
    const QStringList expected = opened.mid(0, 5);
    EXPECT_EQ(AddressBox().Entries(), expected);
    EXPECT_EQ(AddressBox().currentText(), opened.front());
    EXPECT_EQ(Doc().Address(), opened.front().toStdString());
}

// A folder whose name is not UTF-8 shows its Latin-1 reading, and opens, is typed and is saved
// as its own bytes.
TEST_F(AddressBar, AnAddressKeepsItsBytesFromTheFolderToTheProfileAndBack) {
    const std::string latin1 = Music() + "/\xe9t\xe9";
    Track("music/\xe9t\xe9/a.mp3", "Ann");
    Track("other/b.mp3", "Bob");
    Set(kSectionMp3, kFilePath, latin1);
    Start();
    CAddressBar& box = AddressBox();
    const QString shown = Q(Music()) + QString::fromUtf8("/\u00e9t\u00e9");
    EXPECT_EQ(box.Entries(), QStringList{shown});
    Type(box, Q(dir / "other"));
    QTest::keyClick(&box, Qt::Key_Down);
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(Doc().Address(), latin1) << "chosen";
    Type(box, Q(dir / "other"));
    box.lineEdit()->setText(shown); // keyClicks takes ASCII only
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(Doc().Address(), latin1) << "typed as shown";
    Close();
    EXPECT_EQ(Stored(kSectionUser, "Address1"), latin1);
    app.reset();

    Set(kSectionMp3, kFilePath, dir / "other");
    Start();
    ASSERT_EQ(AddressBox().Entries(), (QStringList{Q(dir / "other"), shown}));
    QTest::keyClick(&AddressBox(), Qt::Key_Down);
    QTest::keyClick(&AddressBox(), Qt::Key_Return);
    EXPECT_EQ(Doc().Address(), latin1) << "after a restart";
}

// Moving through the list with the arrows or the wheel shows an entry, selected, and opens
// nothing: on a large folder each entry passed would be a walk. Enter or a click opens it.
TEST_F(AddressBar, StepsThroughTheListWithoutOpeningUntilEnterOrAClick) {
    Track("music/a.mp3", "Ann");
    Track("other/b.mp3", "Bob");
    Track("third/c.mp3", "Cy");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionUser, "Address0", dir / "other");
    Set(kSectionUser, "Address1", dir / "third");
    Start();
    CAddressBar& box = AddressBox();
    ASSERT_EQ(box.Entries(), (QStringList{Q(Music()), Q(dir / "other"), Q(dir / "third")}));

    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.currentText(), Q(dir / "other"));
    EXPECT_EQ(box.lineEdit()->selectedText(), Q(dir / "other"));
    Wheel(box, -1);
    EXPECT_EQ(box.currentText(), Q(dir / "third"));
    QTest::keyClick(&box, Qt::Key_PageDown);
    EXPECT_EQ(box.currentText(), Q(dir / "third")) << "the last entry stays";
    Wheel(box, 1);
    EXPECT_EQ(Doc().Address(), Music()) << "nothing opened on the way";
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_EQ(box.currentText(), Q(Music())) << "Esc shows the open address again";
    QTest::keyClick(&box, Qt::Key_Down);
    QFocusEvent leave(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(&box, &leave);
    EXPECT_EQ(box.currentText(), Q(Music())) << "and so does leaving the box";
    QTest::keyClick(&box, Qt::Key_Down);
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(Doc().Address(), dir / "other");

    box.showPopup();
    QAbstractItemView* list = box.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QRect third = list->visualRect(box.model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(Doc().Address(), dir / "third");
}

// The completion list closes with the address typed, and the folders loaded after Enter do
// not open it again over the window.
TEST_F(AddressBar, TheCompletionListStaysClosedAfterEnter) {
    Track("music/a.mp3", "Ann");
    Track("other/b.mp3", "Bob");
    dir.MakeDir("others");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CAddressBar& box = AddressBox();
    Type(box, Q(dir / "other"));
    ASSERT_EQ(Doc().Address(), dir / "other");
    QWidget* popup = box.completer()->popup();
    for (int i = 0; i < 50; ++i) {
        Idle();
        QTest::qWait(5);
        ASSERT_FALSE(popup->isVisible()) << "after " << i << " rounds";
    }
}

// A first start whose folder choice is cancelled leaves the box empty, and no entry is saved.
TEST_F(AddressBar, ACancelledFirstStartLeavesTheBoxEmpty) {
    CScopedEnv home("HOME", (dir / "home").c_str());
    CScopedEnv musicDir("XDG_MUSIC_DIR", nullptr);
    CScopedEnv config("XDG_CONFIG_HOME", (dir / "config").c_str());
    dir.MakeDir("home");
    std::unique_ptr<QTimer> chooser;
    bool shown = false;
    Start({}, [&] {
        chooser = WhenModal<QFileDialog>([&shown](QFileDialog& dialog) {
            shown = true;
            dialog.reject();
        });
    });
    for (int i = 0; i < 20 && !shown; ++i)
        Idle();
    Idle();
    ASSERT_TRUE(shown);
    EXPECT_EQ(AddressBox().count(), 0);
    EXPECT_EQ(AddressBox().currentText(), QString());
    Close();
    EXPECT_EQ(Stored(kSectionUser, "Address0"), "<absent>");
}
