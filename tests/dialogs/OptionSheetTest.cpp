// The options sheet on its own: the check of the maximum, and the column list's entries.
#include "dialogs/OptionSheet.h"
#include "gui/AppFixture.h"
#include "support/ModalDriver.h"
#include "views/QuavView.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

constexpr int kColumnsTab = 1;
constexpr int kAdvancedTab = 3;

class OptionSheet : public CAppFixture {
protected:
    COptionSheet& Open(int tab) {
        Start();
        sheet_ = std::make_unique<COptionSheet>(
            SOptionValues::From(app->Settings(), Frame().GetTrackListView()->Columns()), &Frame());
        sheet_->show();
        sheet_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(sheet_.get()));
        sheet_->Tabs().setCurrentIndex(tab);
        Idle();
        return *sheet_;
    }
    QStringList Entries() const {
        auto& list = Named<QListWidget>("columnList");
        QStringList texts;
        for (int row = 0; row < list.count(); ++row)
            texts.append(list.item(row)->text());
        return texts;
    }
    void Click(const char* name) const { Named<QAbstractButton>(name).click(); }

    std::unique_ptr<COptionSheet> sheet_;
};

struct SMaximumCase {
    const char* name;
    const char* typed;
    const char* message; // empty when accepted
};

class Maximum : public OptionSheet, public ::testing::WithParamInterface<SMaximumCase> {};

} // namespace

TEST_P(Maximum, IsAWholeNumberFromOneTo1200) {
    COptionSheet& sheet = Open(kAdvancedTab);
    auto& edit = Named<QLineEdit>("maxRow");
    edit.setText(QString::fromUtf8(GetParam().typed));
    QStringList told;
    const auto tell = [&told](QMessageBox& box) {
        told << box.windowTitle() << box.text();
        box.accept();
    };
    auto watch = WhenModal<QMessageBox>(tell);
    sheet.accept();
    if (*GetParam().message == '\0') {
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
        EXPECT_EQ(sheet.Values().maxRow, edit.text().toInt());
        EXPECT_TRUE(told.isEmpty());
        return;
    }
    EXPECT_EQ(told,
              (QStringList{QStringLiteral("Quavero"), QString::fromUtf8(GetParam().message)}));
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.focusWidget(), &edit);
    watch = WhenModal<QMessageBox>(tell);
    sheet.Tabs().setCurrentIndex(0);
    EXPECT_EQ(sheet.Tabs().currentIndex(), kAdvancedTab);
    EXPECT_EQ(told.size(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, Maximum,
    ::testing::Values(SMaximumCase{"Zero", "0", "Enter a whole number from 1 to 1200."},
                      SMaximumCase{"One", "1", ""}, SMaximumCase{"Top", "1200", ""},
                      SMaximumCase{"AboveTop", "1201", "Enter a whole number from 1 to 1200."},
                      SMaximumCase{"Letters", "12a", "Enter a whole number."},
                      SMaximumCase{"Empty", "", "Enter a whole number."}),
    [](const ::testing::TestParamInfo<SMaximumCase>& limit) { return limit.param.name; });

TEST_F(OptionSheet, TheFirstColumnGoesNoHigherAndTheLastNoLower) {
    COptionSheet& sheet = Open(kColumnsTab);
    auto& list = Named<QListWidget>("columnList");
    const QStringList before = Entries();
    list.setCurrentRow(0);
    Click("moveUp");
    list.setCurrentRow(kFieldCount - 1);
    Click("moveDown");
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(list.currentRow(), kFieldCount - 1);

    list.setCurrentRow(1);
    Click("moveUp");
    EXPECT_EQ(Entries().mid(0, 3), (QStringList{before[1], before[0], before[2]}));
    EXPECT_EQ(list.currentRow(), 0);
    sheet.accept();
    EXPECT_EQ(sheet.Values().columns[0].order, 2); // File, second now
    EXPECT_EQ(sheet.Values().columns[1].order, 1);
}

TEST_F(OptionSheet, DisplayedPutsTheLabelInParenthesesAndKeepsItsPlace) {
    Open(kColumnsTab);
    auto& list = Named<QListWidget>("columnList");
    list.setCurrentRow(1);
    Click("displayed");
    EXPECT_EQ(Entries()[1], QStringLiteral("(Title)"));
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_FALSE(Named<QCheckBox>("displayed").isChecked());

    const QPoint location = list.visualItemRect(list.item(4)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, location);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, location);
    EXPECT_EQ(Entries()[4], QStringLiteral("Location"));
    EXPECT_TRUE(Named<QCheckBox>("displayed").isChecked());
}
