// "Options..." in the window: what Cancel and OK leave in the profile, the settings and the
// track list.
#include "dialogs/OptionSheet.h"
#include "frame/CommandTable.h"
#include "gui/AppFixture.h"
#include "settings/ColumnInfo.h"
#include "settings/SettingsKeys.h"
#include "support/ModalDriver.h"
#include "views/ColumnHeader.h"
#include "views/ListViewEx.h"
#include "views/QuavView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeView>

#include <set>

using namespace SettingsKey;

namespace {

class OptionsCommand : public CAppFixture {
protected:
    // Starts the program on the empty music folder and runs the command; `act` works the sheet.
    void RunOptions(const std::function<void(COptionSheet&)>& act) {
        if (!app) {
            Set(kSectionMp3, kFilePath, Music());
            Start();
        }
        auto watch = WhenModal<COptionSheet>(act);
        Frame().Commands().Action(ECommandId::Options)->trigger();
    }
    void Click(const char* name) const { Named<QAbstractButton>(name).click(); }
    void Type(const char* name, const char* text) const {
        Named<QLineEdit>(name).setText(QString::fromUtf8(text));
    }
    CQuavView& View() const { return *Frame().GetTrackListView(); }
    std::vector<std::string> ShownLabels() const {
        std::vector<std::string> labels;
        for (const CColumnInfo* column : View().DisplayedColumns())
            labels.push_back(column->label);
        return labels;
    }
    std::string Profile() const { return ReadFileBytes(dir / "quavero.ini"); }
};

// Title hidden and right-aligned, every other column as the table has it.
std::string ColumnSections() {
    std::string sections;
    for (const SColumnDefault& column : kColumnTable) {
        const bool title = column.fieldId == EFieldId::Title;
        sections +=
            "\n[" + CColumnInfo::SectionName(column.fieldId) +
            "]\nAlignment=" + std::to_string(title ? 1 : static_cast<int>(column.alignment)) +
            "\nDisplayed=" + std::to_string(title ? 0 : static_cast<int>(column.displayed)) +
            "\nOrder=" + std::to_string(column.order) + "\n";
    }
    return sections;
}

} // namespace

TEST_F(OptionsCommand, CancelChangesNeitherTheProfileNorTheList) {
    Set(kSectionMp3, kFilePath, Music());
    Start();
    const std::string before = Profile();
    const std::vector<std::string> shown = ShownLabels();
    RunOptions([this](COptionSheet& sheet) {
        Click("fullRowSelection");
        sheet.Tabs().setCurrentIndex(1);
        Click("moveDown");
        Click("displayed");
        Click("alignRight");
        sheet.reject();
    });
    EXPECT_EQ(Profile(), before);
    EXPECT_EQ(ShownLabels(), shown);
    EXPECT_EQ(View().Columns()[0].alignment, EColumnAlign::Left);
    EXPECT_EQ(app->Settings().FullRowSelection, 0);
}

TEST_F(OptionsCommand, OkWritesEveryValueInOrderAndTheListFollows) {
    Set(kSectionMp3, kFilePath, Music());
    Start();
    const std::string before = Profile();
    RunOptions([this](COptionSheet& sheet) {
        Click("fullRowSelection");
        Click("actionEnqueue");
        sheet.Tabs().setCurrentIndex(1);
        Named<QListWidget>("columnList").setCurrentRow(1);
        Click("displayed");
        Click("alignRight");
        sheet.Tabs().setCurrentIndex(2);
        Type("favoriteAddresses", "/a;/b");
        sheet.Tabs().setCurrentIndex(3);
        Type("commandPlay", "Open");
        Type("maxRow", "500");
        Click("useCachedCatalog");
        Click("exactVbrTime");
        Click("writeId3v2");
        Named<QComboBox>("checkForChanges").setCurrentIndex(2);
        Named<QSpinBox>("pollSeconds").setValue(30);
        Type("ignoredArticles", "The;Die");
        Click("groupByAlbumArtist");
        sheet.accept();
    });
    EXPECT_EQ(Profile(), before +
                             "\n[User settings]\nFullRowSelection=1\nDoubleClickAction=1\n"
                             "ColumnsSettings=1\nFavoriteAddresses=/a;/b\n" +
                             ColumnSections() +
                             "\n[AdvancedOptions]\nCommandPlay=Open\nCommandEnqueue=Enqueue\n"
                             "MaxRow=500\nUseCachedCatalog=0\nMinimizeToSystray=0\n"
                             "ExactVbrTime=0\nReadId3v2=1\nWriteId3v2=0\nCheckForChanges=2\n"
                             "PollSeconds=30\nGroupByAlbumArtist=0\nDetectCompilations=1\n"
                             "IgnoredArticles=The;Die\nTreeCovers=1\n");
    EXPECT_EQ(ShownLabels(), (std::vector<std::string>{"File", "Album", "Artist", "Date", "Genre",
                                                       "Time", "Track"}));
    EXPECT_EQ(app->Settings().MaxRow, 500);
    EXPECT_FALSE(Frame().Commands().Action(ECommandId::Refresh)->isEnabled());
}

// Values no control can show go back as they were: an action none of the buttons stands for,
// a maximum beyond the limit on a page never opened, bytes that are not UTF-8.
TEST_F(OptionsCommand, ValuesOfPagesNeverOpenedGoBackUnchanged) {
    Set(kSectionUser, kDoubleClickAction, "7");
    Set(kSectionAdvanced, kMaxRow, "5000");
    Set(kSectionAdvanced, kCommandPlay, "Lecture \xe9");
    RunOptions([](COptionSheet& sheet) { sheet.accept(); });
    EXPECT_EQ(Stored(kSectionUser, kDoubleClickAction), "7");
    EXPECT_EQ(Stored(kSectionAdvanced, kMaxRow), "5000");
    EXPECT_EQ(Stored(kSectionAdvanced, kCommandPlay), "Lecture \xe9");
}

// Sections cut short, an unknown column, orders repeated or negative, an alignment of 9 and no
// column displayed: the list shows none, the sheet all of them, and OK writes them well-formed.
TEST_F(OptionsCommand, BadColumnSettingsAreWrittenBackWellFormed) {
    Set(kSectionUser, kColumnsSettings, "1");
    for (const auto& [section, key, value] : {std::tuple{"Column1", kColumnOrder, "3"},
                                              {"Column2", kColumnOrder, "3"},
                                              {"Column3", kColumnOrder, "-4"},
                                              {"Column4", kColumnAlignment, "9"},
                                              {"Column99", kColumnDisplayed, "1"}})
        Set(section, key, value);
    QStringList entries;
    RunOptions([this, &entries](COptionSheet& sheet) {
        sheet.Tabs().setCurrentIndex(1);
        auto& list = Named<QListWidget>("columnList");
        for (int row = 0; row < list.count(); ++row)
            entries.append(list.item(row)->text());
        list.setCurrentRow(0);
        Click("displayed");
        sheet.accept();
    });
    EXPECT_EQ(entries.size(), kFieldCount);
    EXPECT_EQ(entries.filter(QStringLiteral("(")).size(), kFieldCount);
    EXPECT_EQ(entries.first(), QStringLiteral("(Title)")); // order -4
    EXPECT_EQ(ShownLabels(), std::vector<std::string>{"Title"});
    const std::set<std::string> alignments{"0", "1", "2"}, flags{"0", "1"};
    std::set<std::string> orders;
    for (const SColumnDefault& column : kColumnTable) {
        const std::string section = CColumnInfo::SectionName(column.fieldId);
        orders.insert(Stored(section.c_str(), kColumnOrder));
        EXPECT_TRUE(alignments.contains(Stored(section.c_str(), kColumnAlignment))) << section;
        EXPECT_TRUE(flags.contains(Stored(section.c_str(), kColumnDisplayed))) << section;
    }
    EXPECT_EQ(orders, (std::set<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
                                             "11", "12", "13", "14", "15", "16", "17"}));
}

// The list's header edits the columns as the sheet does: the same edit made both ways, from the
// same profile, leaves the same bytes; the new order comes back at the next start.
TEST_F(OptionsCommand, HeaderMenuAndDragWriteWhatTheSheetWrites) {
    RunOptions([](COptionSheet& sheet) { sheet.accept(); }); // every key written once
    const std::string start = Profile();
    const auto bySheet = [this](int row, const char* button, int times) {
        RunOptions([=, this](COptionSheet& sheet) {
            sheet.Tabs().setCurrentIndex(1);
            Named<QListWidget>("columnList").setCurrentRow(row);
            for (int i = 0; i < times; ++i)
                Click(button);
            sheet.accept();
        });
        return Profile();
    };
    const std::string hidden = bySheet(7, "displayed", 1); // Genre
    const std::string moved = bySheet(3, "moveUp", 2);     // Artist before Title

    app.reset();
    dir.Write("quavero.ini", start);
    Start();
    QHeaderView* header = View().List()->DetailsView()->header();
    auto* columns = header->findChild<CColumnHeader*>();
    ASSERT_NE(columns, nullptr);
    const std::unique_ptr<QMenu> menu = columns->BuildMenu(nullptr);
    QStringList checked;
    for (QAction* entry : menu->actions())
        if (entry->isChecked())
            checked << entry->text();
    EXPECT_EQ(menu->actions().size(), kFieldCount + 2) << "every column, a line, Columns…";
    EXPECT_EQ(checked.join(QLatin1Char(' ')), QStringLiteral("File Title Album Artist Date "
                                                             "Genre Time Track"));
    menu->actions()[7]->trigger();
    EXPECT_EQ(Profile(), hidden);
    View().List()->SetColumnWidth(1, 222); // Title
    header->moveSection(3, 1);
    Idle();
    EXPECT_EQ(Profile(), moved);
    EXPECT_EQ(ShownLabels(), (std::vector<std::string>{"File", "Artist", "Title", "Album", "Date",
                                                       "Time", "Track"}));
    EXPECT_EQ(View().List()->ColumnWidth(2), 222) << "a moved column keeps its width";
    for (int visual = 0; visual < header->count(); ++visual)
        EXPECT_EQ(header->logicalIndex(visual), visual) << "the header shows the columns' order";

    app.reset();
    Start();
    EXPECT_EQ(ShownLabels(), (std::vector<std::string>{"File", "Artist", "Title", "Album", "Date",
                                                       "Time", "Track"}));
    int page = -1;
    auto watch = WhenModal<COptionSheet>([&page](COptionSheet& sheet) {
        page = sheet.Tabs().currentIndex();
        sheet.reject();
    });
    header = View().List()->DetailsView()->header();
    header->findChild<CColumnHeader*>()->BuildMenu(nullptr)->actions().back()->trigger();
    EXPECT_EQ(page, 1) << "Columns… opens the sheet on its Columns page";
}
