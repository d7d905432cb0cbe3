// The main window's commands: display modes and their hints, update rules run at idle time,
// the bars, menus and keys, the status prompt while a menu is open, and the focus between panes.
#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "desktop/BusyAnimation.h"
#include "desktop/FrameStrings.h"
#include "frame/AddressBar.h"
#include "frame/CommandTable.h"
#include "frame/ContextMenus.h"
#include "frame/MainFrame.h"
#include "frame/StatusPanes.h"
#include "gui/AppFixture.h"
#include "model/Mp3File.h"
#include "platform/CommandIds.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"
#include "settings/SettingsKeys.h"
#include "support/RecordingView.h"
#include "views/LeftView.h"
#include "views/ListViewEx.h"
#include "views/QuavView.h"
#include "views/TrackTableModel.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidgetItem>

using SettingsKey::kFilePath;
using SettingsKey::kSectionAdvanced;
using SettingsKey::kSectionMp3;
using SettingsKey::kSectionUser;
using SettingsKey::kUseCachedCatalog;
using SettingsKey::kViewType;
using FrameCommands = CAppFixture;
using Hints = std::vector<EHint>;

namespace {

bool Checked(CMainFrame& frame, ECommandId id) {
    return frame.Commands().Action(id)->isChecked();
}

bool Enabled(CMainFrame& frame, ECommandId id) {
    return frame.Commands().Action(id)->isEnabled();
}

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list.append(QString::fromUtf8(text));
    return list;
}

QStringList ActionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            texts.append(action->text());
    return texts;
}

} // namespace

TEST_F(FrameCommands, DisplayModesSendTheirHintsOnlyWhenTheModeChanges) {
    Track("music/a.mp3", "Ann", "X", 17);
    Track("music/b.mp3", "Bob", "Y", 13);
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    CRecordingView recorder(Doc());

    frame.Commands().Action(ECommandId::ModeAlbumArtist)->trigger();
    EXPECT_EQ(recorder.hints, (Hints{EHint::RebuildBegin, EHint::ModeAlbumArtist,
                                     EHint::ShowTracksAgain, EHint::RebuildEnd}));
    EXPECT_EQ(recorder.objects[2], &Doc().GetTrackList().Tracks());
    EXPECT_EQ(ChildTexts(Root()), (QStringList{QStringLiteral("X"), QStringLiteral("Y")}));
    EXPECT_EQ(ChildTexts(Root()->child(0)), QStringList{QStringLiteral("Ann")});
    Idle();
    EXPECT_TRUE(Checked(frame, ECommandId::ModeAlbumArtist));
    EXPECT_FALSE(Checked(frame, ECommandId::ModeArtist));
    EXPECT_FALSE(Checked(frame, ECommandId::ModeGenreArtist));
    EXPECT_TRUE(ToolButton(ECommandId::ModeAlbumArtist)->isChecked());
    EXPECT_FALSE(ToolButton(ECommandId::ModeArtist)->isChecked());
    EXPECT_EQ(frame.StatusPanes().IconImage(CStatusPanes::kMode), ResourceId::kImageAlbum);

    QTreeWidgetItem* album = Root()->child(1);
    frame.GetLeftView()->setCurrentItem(album);
    recorder.hints.clear();
    frame.Commands().Action(ECommandId::ModeAlbumArtist)->trigger();
    EXPECT_TRUE(recorder.hints.empty());
    EXPECT_EQ(frame.GetLeftView()->currentItem(), album);
    Idle();
    EXPECT_TRUE(Checked(frame, ECommandId::ModeAlbumArtist));

    frame.Commands().Action(ECommandId::ModeGenreArtist)->trigger();
    EXPECT_EQ(recorder.hints, (Hints{EHint::RebuildBegin, EHint::ModeGenreArtist, EHint::ShowTracks,
                                     EHint::RebuildEnd}));
    EXPECT_EQ(frame.GetLeftView()->currentItem(), Root());
    EXPECT_EQ(frame.StatusPanes().IconImage(CStatusPanes::kMode), ResourceId::kImageGenre);
}

TEST_F(FrameCommands, AnUnknownSavedModeMarksNoModeUntilOneIsChosen) {
    Track("music/a.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionUser, kViewType, "7");
    Start();
    CMainFrame& frame = Frame();
    for (const ECommandId id :
         {ECommandId::ModeArtist, ECommandId::ModeGenreArtist, ECommandId::ModeAlbumArtist})
        EXPECT_FALSE(Checked(frame, id));
    EXPECT_EQ(frame.StatusPanes().IconImage(CStatusPanes::kMode), ResourceId::kImageInformation);

    frame.Commands().Action(ECommandId::ModeArtist)->trigger();
    Idle();
    EXPECT_TRUE(Checked(frame, ECommandId::ModeArtist));
    EXPECT_EQ(frame.StatusPanes().IconImage(CStatusPanes::kMode), ResourceId::kImageArtist);
    EXPECT_EQ(Doc().DisplayMode(), EDisplayMode::Artist);
}

TEST_F(FrameCommands, UpdateRulesFollowTheSettingsAndTheTrackList) {
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionAdvanced, kUseCachedCatalog, "0");
    Start();
    CMainFrame& frame = Frame();
    EXPECT_FALSE(Enabled(frame, ECommandId::Refresh));
    app->Settings().UseCachedCatalog = 1;
    Idle();
    EXPECT_TRUE(Enabled(frame, ECommandId::Refresh));

    // The track list has no selected row.
    for (const ECommandId id :
         {ECommandId::Play, ECommandId::Enqueue, ECommandId::Properties, ECommandId::Copy})
        EXPECT_FALSE(Enabled(frame, id)) << static_cast<int>(id);
    for (const ECommandId id :
         {ECommandId::Exit, ECommandId::SelectAll, ECommandId::About, ECommandId::New,
          ECommandId::ModeArtist, ECommandId::DisplayAll, ECommandId::ToolBar})
        EXPECT_TRUE(Enabled(frame, id)) << static_cast<int>(id);
    for (const ECommandId id : {ECommandId::Save, ECommandId::Paste, ECommandId::Undo})
        EXPECT_FALSE(Enabled(frame, id)) << static_cast<int>(id);

    EXPECT_TRUE(Checked(frame, ECommandId::Details));
    frame.Commands().Action(ECommandId::SmallIcons)->trigger();
    EXPECT_EQ(frame.GetTrackListView()->ViewStyle(), EViewStyle::SmallIcons);
    EXPECT_TRUE(Checked(frame, ECommandId::SmallIcons));
    EXPECT_FALSE(Checked(frame, ECommandId::Details));

    EXPECT_FALSE(Checked(frame, ECommandId::DisplayAll));
    frame.Commands().Action(ECommandId::DisplayAll)->trigger();
    EXPECT_TRUE(frame.GetTrackListView()->DisplayAll());
    EXPECT_TRUE(Checked(frame, ECommandId::DisplayAll));

    EXPECT_TRUE(Checked(frame, ECommandId::StatusBar));
    frame.Commands().Action(ECommandId::StatusBar)->trigger();
    EXPECT_TRUE(frame.statusBar()->isHidden());
    EXPECT_FALSE(Checked(frame, ECommandId::StatusBar));
    frame.Commands().Action(ECommandId::StatusBar)->trigger();
    EXPECT_FALSE(frame.statusBar()->isHidden());
}

TEST_F(FrameCommands, BarsShowTheirButtonsLabelsAndHideOnCommand) {
    Start();
    CMainFrame& frame = Frame();
    EXPECT_EQ(CCommandTable::ButtonCommands(),
              (QList<ECommandId>{ECommandId::Play, ECommandId::Enqueue, ECommandId::Copy,
                                 ECommandId::Properties, ECommandId::ModeArtist,
                                 ECommandId::ModeGenreArtist, ECommandId::ModeAlbumArtist,
                                 ECommandId::DisplayAll, ECommandId::LargeIcons,
                                 ECommandId::SmallIcons, ECommandId::List, ECommandId::Details}));
    const QStringList labels = Texts({"Play", "Enqueue", "Copy", "Prop.", "Artist", "Genre",
                                      "Album", "All", "Large", "Small", "List", "Detail"});
    const QStringList tips = Texts({"Play", "Enqueue", "Copy", "Properties", "Artist",
                                    "Genre / Artist", "Album / Artist", "Selection/All columns",
                                    "Large Icons", "Small Icons", "List", "Details"});
    const QSize labelled = ToolButton(ECommandId::Play)->size();
    EXPECT_GE(labelled.width(), 50);
    EXPECT_LE(labelled.width(), 150);
    for (int i = 0; i < 12; ++i) {
        QToolButton* button = ToolButton(CCommandTable::ButtonCommands()[i]);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), labels[i]);
        EXPECT_EQ(button->toolTip(), tips[i]);
        EXPECT_EQ(button->size(), labelled);
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }

    frame.Commands().Action(ECommandId::TextLabels)->trigger();
    EXPECT_FALSE(Checked(frame, ECommandId::TextLabels));
    EXPECT_EQ(ToolButton(ECommandId::ModeGenreArtist)->size(), QSize(32, 30));
    EXPECT_EQ(ToolButton(ECommandId::ModeGenreArtist)->toolButtonStyle(), Qt::ToolButtonIconOnly);
    frame.Commands().Action(ECommandId::TextLabels)->trigger();
    EXPECT_EQ(ToolButton(ECommandId::ModeGenreArtist)->size(), labelled);

    frame.Commands().Action(ECommandId::ToolBar)->trigger();
    frame.Commands().Action(ECommandId::AddressBar)->trigger();
    Idle();
    EXPECT_FALSE(Checked(frame, ECommandId::ToolBar));
    EXPECT_FALSE(Checked(frame, ECommandId::AddressBar));
    EXPECT_FALSE(Named<QToolBar>("toolBar").isVisible());
    EXPECT_FALSE(AddressBox().isVisible());
    EXPECT_TRUE(Named<QToolBar>("addressBar").isVisible());
    EXPECT_TRUE(Animation().isVisible());
}

TEST_F(FrameCommands, MenusAndKeysComeFromTheTable) {
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    const QList<QMenu*>& menus = frame.Commands().Menus();
    ASSERT_EQ(menus.size(), 6);
    EXPECT_EQ(menus[0]->title(), QStringLiteral("&File"));
    EXPECT_EQ(ActionTexts(menus[0]), Texts({"&Open Folder...", "&Play", "&Enqueue", "&Properties",
                                            "&Refresh cache file", "E&xit"}));
    EXPECT_EQ(ActionTexts(menus[2]), Texts({"&Artist", "&Gen&re / Artist", "Al&bum / Artist",
                                            "&Display all information", "&Options..."}));
    EXPECT_EQ(ActionTexts(menus[4]),
              Texts({"Standard buttons", "Address bar", "Show text labels"}));
    EXPECT_EQ(menus[5]->title(), QStringLiteral("&?"));
    EXPECT_TRUE(frame.Commands()
                    .Action(ECommandId::Properties)
                    ->shortcuts()
                    .contains(QKeySequence(QStringLiteral("Ctrl+Return"))));
    EXPECT_EQ(frame.Commands().Action(ECommandId::Copy)->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+C")),
                                   QKeySequence(QStringLiteral("Ctrl+Ins"))}));

    // F5 refreshes the catalog through the real key; not while cache files are off.
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    CRecordingView recorder(Doc());
    QTest::keyClick(frame.GetLeftView(), Qt::Key_F5);
    EXPECT_EQ(recorder.hints,
              (Hints{EHint::RebuildBegin, EHint::ShowTracksAgain, EHint::RebuildEnd}));
    app->Settings().UseCachedCatalog = 0;
    Idle();
    recorder.hints.clear();
    QTest::keyClick(frame.GetLeftView(), Qt::Key_F5);
    EXPECT_TRUE(recorder.hints.empty());
}

TEST_F(FrameCommands, AnOpenMenuShowsThePromptAcrossTheStatusBar) {
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    CStatusPanes& panes = frame.StatusPanes();
    ASSERT_EQ(panes.Text(CStatusPanes::kLocation), QString::fromStdString(Music()));
    QMenu* file = frame.Commands().Menus()[0];
    file->popup(frame.mapToGlobal(QPoint(10, 10)));
    Idle();
    EXPECT_TRUE(panes.IsPrompting());
    EXPECT_FALSE(panes.Pane(CStatusPanes::kCount)->isVisible());
    file->setActiveAction(frame.Commands().Action(ECommandId::Exit));
    EXPECT_EQ(panes.Text(CStatusPanes::kLocation), CFrameStrings::Prompt(ECommandId::Exit));
    EXPECT_GT(panes.Pane(CStatusPanes::kLocation)->width(), 150 + 20);

    file->hide();
    Idle();
    EXPECT_FALSE(panes.IsPrompting());
    EXPECT_TRUE(panes.Pane(CStatusPanes::kCount)->isVisible());
    EXPECT_EQ(panes.Text(CStatusPanes::kLocation), QString::fromStdString(Music()));
}

TEST_F(FrameCommands, TabAndF6MoveBetweenThePanes) {
    Start();
    CMainFrame& frame = Frame();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QWidget* tree = frame.GetLeftView();
    QWidget* list = frame.GetTrackListView();
    // The list keeps its focus in the view of its current style, inside the pane.
    const auto focusIn = [](QWidget* pane) {
        QWidget* focus = QApplication::focusWidget();
        return focus != nullptr && (focus == pane || pane->isAncestorOf(focus));
    };
    const auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    };
    EXPECT_TRUE(focusIn(tree));
    press(Qt::Key_Tab);
    EXPECT_TRUE(focusIn(list));
    EXPECT_EQ(frame.ActiveView(), list);
    press(Qt::Key_Tab);
    EXPECT_TRUE(focusIn(tree));
    press(Qt::Key_F6);
    EXPECT_TRUE(focusIn(list));
    press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(focusIn(tree));
    press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(focusIn(list));
}

TEST_F(FrameCommands, TrackMenuAndCopyFollowTheSelection) {
    Track("music/a.mp3", "Ann");
    Track("music/b.mp3", "Bob");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    const auto entries = [&frame] {
        QStringList texts;
        std::vector<bool> enabled;
        const std::unique_ptr<QMenu> menu = frame.ContextMenus().BuildTrackMenu();
        for (QAction* action : menu->actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
            enabled.push_back(action->isEnabled());
        }
        return std::make_pair(texts, enabled);
    };
    auto [texts, enabled] = entries();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("&Play"), QStringLiteral("&Enqueue"),
                                  QStringLiteral("-"), QStringLiteral("&Copy"), QStringLiteral("-"),
                                  QStringLiteral("P&roperties ..."), QStringLiteral("-"),
                                  QStringLiteral("Open Containing &Folder")}));
    EXPECT_FALSE(enabled[3]) << "nothing to copy without a selection";
    EXPECT_FALSE(frame.Commands().Execute(ECommandId::Copy));

    frame.GetTrackListView()->SelectAll();
    std::tie(texts, enabled) = entries();
    EXPECT_TRUE(enabled[3]);
    EXPECT_TRUE(enabled[0] && enabled[1]) << "Play and Enqueue";
    QGuiApplication::clipboard()->clear();
    ASSERT_TRUE(frame.Commands().Execute(ECommandId::Copy));
    EXPECT_EQ(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")), 2);
    EXPECT_EQ(frame.StatusPanes().Text(CStatusPanes::kCount), QStringLiteral("2 selected files"));
}

// Ctrl+L puts the focus in the address with its text selected, Ctrl+F in the filter, each
// showing the address band first when it is hidden; Ctrl+Q closes the window as "E&xit" does,
// writing its settings.
TEST_F(FrameCommands, BrowserKeysReachTheAddressAndQuitCloses) {
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    for (const Qt::Key key : {Qt::Key_L, Qt::Key_F}) {
        ASSERT_TRUE(frame.Commands().Execute(ECommandId::AddressBar));
        Idle();
        ASSERT_FALSE(AddressBox().isVisible());
        QTest::keyClick(frame.GetLeftView(), key, Qt::ControlModifier);
        Idle();
        EXPECT_TRUE(AddressBox().isVisible());
        EXPECT_TRUE(frame.Commands().Action(ECommandId::AddressBar)->isChecked());
    }
    EXPECT_TRUE(Named<QLineEdit>("filterBox").hasFocus());
    QTest::keyClick(frame.GetLeftView(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(AddressBox().lineEdit()->hasFocus());
    EXPECT_EQ(AddressBox().lineEdit()->selectedText(), QString::fromStdString(Music()));
    QTest::keyClick(frame.GetLeftView(), Qt::Key_Q, Qt::ControlModifier);
    Idle();
    EXPECT_FALSE(frame.isVisible());
    EXPECT_NE(Stored(kSectionUser, "cx"), "<absent>") << "closing wrote the window's settings";
}

// The filter box keeps the rows whose shown texts hold every word, whatever their case; the
// status counts them; MaxRow applies after it; another node keeps it, Esc and a new address
// clear it.
TEST_F(FrameCommands, FilterBoxNarrowsTheList) {
    Track("music/ann1.mp3", "Ann Lee", "Blue Sky");
    Track("music/ann2.mp3", "Ann Lee", "Red Sun");
    Track("music/bob.mp3", "Bob Ray", "Blue Sky");
    Track("music/cleo.mp3", "Cl\xc3\xa9o", "Blue Note");
    Track("music/bjork.mp3", "bjork", "Post");
    Track("music/bjork2.mp3", "Bj\xf6rk", "Homogenic"); // Latin-1
    Track("other/x.mp3", "Xi");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionAdvanced, SettingsKey::kMaxRow, "2");
    Start();
    CMainFrame& frame = Frame();
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    const CTrackTableModel& rows = frame.GetTrackListView()->Model();
    auto& filter = Named<QLineEdit>("filterBox");
    EXPECT_EQ(filter.placeholderText(), QStringLiteral("Filter"));
    QTest::keyClick(frame.GetLeftView(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(filter.hasFocus());

    const struct {
        const char* typed;
        int rows;
        const char* count;
    } cases[] = {
        // clang-format off
        {"blue", 2, "3 file(s)"},          // MaxRow cuts the rows, not the count
        {"BLUE ann", 1, "1 file(s)"},      // any case
        {"cl\xc3\x89o", 1, "1 file(s)"},
        {"CLEO", 1, "1 file(s)"},          // accents ignored both ways
        {"bjork", 2, "2 file(s)"},         // UTF-8, Latin-1 and plain alike
        {"BJ\xc3\x96RK", 2, "2 file(s)"},  // an accented word finds the plain one
        {"nobody", 0, "0 file(s)"},
        // clang-format on
    };
    for (const auto& c : cases) {
        filter.setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(rows.rowCount(), c.rows) << c.typed;
        EXPECT_EQ(frame.StatusPanes().Text(CStatusPanes::kCount), QString::fromLatin1(c.count))
            << c.typed;
    }
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Return}) {
        filter.setText(QStringLiteral("homogenic"));
        filter.setFocus();
        QTest::keyClick(&filter, key);
        EXPECT_TRUE(frame.GetTrackListView()->List()->DetailsView()->hasFocus()) << key;
        ASSERT_EQ(frame.GetTrackListView()->SelectedTracks().size(), 1u);
        EXPECT_EQ(frame.GetTrackListView()->SelectedTracks()[0]->FileName(), "bjork2.mp3");
    }
    filter.setText(QStringLiteral("sky"));
    frame.GetLeftView()->setCurrentItem(Root()->child(0)); // "Ann Lee"
    EXPECT_EQ(rows.rowCount(), 1) << "another node keeps the words";
    QTest::keyClick(&filter, Qt::Key_Escape);
    EXPECT_TRUE(filter.text().isEmpty());
    EXPECT_EQ(rows.rowCount(), 2);

    filter.setText(QStringLiteral("sky"));
    ASSERT_TRUE(frame.GoToAddress(QString::fromStdString(dir / "other")));
    EXPECT_TRUE(filter.text().isEmpty());
    EXPECT_EQ(rows.rowCount(), 1);
}
