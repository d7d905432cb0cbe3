// The window in French: no English text is left in its menus, dialogs and messages. This
// program runs in French from its start: the string table picks its language once.
#include "desktop/FrameStrings.h"
#include "dialogs/AboutSheet.h"
#include "dialogs/CreditsScroller.h"
#include "dialogs/Mp3PropertySheet.h"
#include "dialogs/OptionSheet.h"
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "gui/AppFixture.h"
#include "model/Mp3File.h"
#include "platform/StringTable.h"
#include "settings/SettingsKeys.h"
#include "support/ScopedEnv.h"
#include "views/QuavView.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSpinBox>
#include <QTabBar>

#include <cstdlib>

using namespace SettingsKey;
using ELanguage = CStringTable::ELanguage;

namespace {

const bool kFrench = [] {
    ::setenv("QUAVERO_LANG", "fr", 1);
    return CStringTable::Language() == ELanguage::French;
}();

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A text as a reader sees it: without access-key marks and closing dots.
QString Plain(QString text) {
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char('.')) || text.endsWith(QChar(0x2026)))
        text.chop(1);
    return text.trimmed();
}

// Every line of the table's English column that no French line reads the same.
QSet<QString> EnglishTexts() {
    QSet<QString> english;
    QSet<QString> french;
    for (const int id : CStringTable::Ids()) {
        for (const QString& line :
             FromUtf8(CStringTable::ById(id, ELanguage::English)).split(QLatin1Char('\n')))
            english.insert(Plain(line));
        for (const QString& line :
             FromUtf8(CStringTable::ById(id, ELanguage::French)).split(QLatin1Char('\n')))
            french.insert(Plain(line));
    }
    english.subtract(french);
    english.remove(QString());
    // Texts that are not the table's: Qt's own, and those the dialogs had before theirs were.
    for (const char* text : {"Cancel", "Close", "Yes", "No", "Apply", "Credits", "ID3 Tag",
                             "version", "Title :", "Year :", "Comment. :"})
        english.insert(QString::fromLatin1(text));
    english.subtract(french);
    return english;
}

class CFrenchWindow : public CAppFixture {
protected:
    // Qt's own texts are French too, as the application loads them at its start.
    CScopedEnv french_{"QUAVERO_LANG", "fr"};

    // Fails for each of `texts` that reads as English, naming where it was found.
    void ExpectFrench(const QStringList& texts, const char* where) {
        static const QSet<QString> english = EnglishTexts();
        for (const QString& text : texts)
            EXPECT_FALSE(english.contains(Plain(text))) << where << ": " << text.toStdString();
    }
    static QStringList TextsOf(const QMenu& menu) {
        QStringList texts{menu.title()};
        for (const QAction* action : menu.actions())
            if (!action->isSeparator())
                texts << action->text();
        return texts;
    }
    // Every text a dialog shows: its title, labels, buttons, frames, tabs and lists' entries.
    static QStringList TextsOf(const QWidget& dialog) {
        QStringList texts{dialog.windowTitle()};
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            texts << label->text();
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
            texts << button->text();
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
            texts << group->title();
        for (const QTabBar* tabs : dialog.findChildren<QTabBar*>())
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        for (const QComboBox* box : dialog.findChildren<QComboBox*>())
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        for (const QSpinBox* box : dialog.findChildren<QSpinBox*>())
            texts << box->specialValueText();
        return texts;
    }
};

} // namespace

TEST_F(CFrenchWindow, MenusAndContextMenusAreFrench) {
    ASSERT_TRUE(kFrench);
    Set(kSectionMp3, kFilePath, Music());
    Start();
    int entries = 0;
    for (const QMenu* menu : Frame().Commands().Menus()) {
        ExpectFrench(TextsOf(*menu), "menu");
        entries += static_cast<int>(menu->actions().size());
    }
    EXPECT_GT(entries, 20);
    for (const QAction* action : Frame().actions())
        ExpectFrench({action->text(), action->iconText()}, "command");
    for (const auto popup : {CCommandTable::EPopup::Tracks, CCommandTable::EPopup::Node,
                             CCommandTable::EPopup::Tray}) {
        QMenu menu;
        Frame().Commands().BuildPopup(popup, menu);
        ExpectFrench(TextsOf(menu), "context menu");
    }
    // The empty window's hint names the menu entry as the menu shows it.
    const QString open =
        Frame().Commands().Menus().front()->title().remove(QLatin1Char('&')) +
        QStringLiteral(" > ") +
        Frame().Commands().Action(ECommandId::Open)->text().remove(QLatin1Char('&'));
    EXPECT_TRUE(CFrameStrings::Get(EStringId::HowToOpenAFolder).contains(open))
        << open.toStdString();
}

// Qt's own texts are French, but the keys beside the menu entries read as on the keys.
TEST_F(CFrenchWindow, ShortcutsReadAsInTheEnglishWindow) {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                       QStringLiteral("/qtbase_fr.qm")))
        GTEST_SKIP() << "Qt's French translation is not installed (qt6-translations-l10n)";
    Start();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annuler"));
    const QAction* properties = Frame().Commands().Action(ECommandId::Properties);
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(properties->shortcut().toString(QKeySequence::NativeText),
              QStringLiteral("Ctrl+Return"));
}

TEST_F(CFrenchWindow, OptionSheetIsFrench) {
    ASSERT_TRUE(kFrench);
    Start();
    COptionSheet sheet(SOptionValues::From(app->Settings(), Frame().GetTrackListView()->Columns()),
                       &Frame());
    for (int tab = 0; tab < sheet.Tabs().count(); ++tab) {
        sheet.Tabs().setCurrentIndex(tab);
        Idle();
    }
    const QStringList texts = TextsOf(sheet);
    EXPECT_GT(texts.size(), 30);
    ExpectFrench(texts, "options");
}

TEST_F(CFrenchWindow, PropertiesSheetIsFrench) {
    ASSERT_TRUE(kFrench);
    Start();
    const CMp3PropertySheet sheet(TrackArray(), {}, &Frame());
    const QStringList texts = TextsOf(sheet);
    EXPECT_GT(texts.size(), 8);
    ExpectFrench(texts, "properties");
}

TEST_F(CFrenchWindow, AboutSheetIsFrench) {
    ASSERT_TRUE(kFrench);
    Start();
    const CAboutSheet sheet(&Frame());
    ExpectFrench(TextsOf(sheet) + CCreditsScroller::Texts(), "about");
}

// Sizes have the language's decimal mark, the rounding at a tie included.
TEST(FrenchSizes, HaveADecimalComma) {
    ASSERT_TRUE(kFrench);
    EXPECT_EQ(CMp3File::FormatSize(1000), "  1,0 Mo");
    EXPECT_EQ(CMp3File::FormatSize(123456), "123,5 Mo");
    EXPECT_EQ(CMp3File::FormatSize(1050).find('.'), std::string::npos);
}
