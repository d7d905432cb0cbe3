#include "views/ListViewEx.h"

#include "ListFixture.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QListView>
#include <QSignalSpy>
#include <QStackedLayout>

#include <gtest/gtest.h>

namespace {

const std::vector<STrackFields> kFour = {{"a.mp3", "One", "X", 2000},
                                         {"b.mp3", "Two", "X", 2000},
                                         {"c.mp3", "Three", "X", 2000},
                                         {"d.mp3", "Four", "X", 2000}};

using Rows = std::vector<int>;

} // namespace

TEST(ListViewEx, BothViewsShareOneSelection) {
    SListFixture f(kFour);
    ASSERT_TRUE(f.exposed);
    QListView* icons = f.list.IconView();
    EXPECT_EQ(icons->selectionModel(), f.list.DetailsView()->selectionModel());
    EXPECT_EQ(icons->model(), &f.model);

    f.list.SetViewStyle(EViewStyle::List);
    QTest::mouseClick(icons->viewport(), Qt::LeftButton, {},
                      icons->visualRect(f.model.index(2, 0)).center());
    QTest::mouseClick(icons->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      icons->visualRect(f.model.index(0, 0)).center());
    EXPECT_EQ(f.list.SelectedRows(), (Rows{0, 2}));
    EXPECT_TRUE(f.list.DetailsView()->selectionModel()->isRowSelected(2, {}))
        << "a row picked in the icon view is selected in every column";

    f.list.SetViewStyle(EViewStyle::Details);
    EXPECT_EQ(f.list.SelectedRows(), (Rows{0, 2}));

    CTrackTableModel other;
    other.SetColumns({EFieldId::Title}, {});
    other.SetTracks(f.files.Pointers());
    f.list.SetModel(&other);
    EXPECT_EQ(f.list.Model(), &other);
    EXPECT_EQ(icons->selectionModel(), f.list.DetailsView()->selectionModel());
    EXPECT_EQ(f.list.SelectionModel()->model(), &other);
    EXPECT_TRUE(f.list.SelectedRows().empty());
}

TEST(ListViewEx, SelectAllSelectedRowsAndWidths) {
    SListFixture f(kFour);
    QItemSelectionModel* selection = f.list.SelectionModel();
    for (int row : {3, 0, 2})
        selection->select(f.model.index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(f.list.SelectedRows(), (Rows{0, 2, 3}));
    f.list.SelectAll();
    EXPECT_EQ(f.list.SelectedRows(), (Rows{0, 1, 2, 3}));
    EXPECT_TRUE(selection->isRowSelected(1, {}));

    EXPECT_EQ(f.list.ColumnWidth(1), 80);
    f.list.SetColumnWidth(1, 123);
    EXPECT_EQ(f.list.ColumnWidth(1), 123);
    EXPECT_EQ(f.list.DetailsView()->header()->sectionSize(1), 123);

    f.model.Clear();
    EXPECT_TRUE(f.list.SelectedRows().empty());
    f.list.SelectAll();
    EXPECT_TRUE(f.list.SelectedRows().empty());
}

TEST(ListViewEx, SwitchesBetweenTheFourStyles) {
    SListFixture f(kFour);
    ASSERT_TRUE(f.exposed);
    QTreeView* details = f.list.DetailsView();
    QListView* icons = f.list.IconView();
    EXPECT_EQ(f.list.ViewStyle(), EViewStyle::Details);
    EXPECT_TRUE(details->isVisible());
    EXPECT_FALSE(icons->isVisible());
    EXPECT_FALSE(details->rootIsDecorated());
    EXPECT_TRUE(details->header()->sectionsClickable());

    f.list.SetViewStyle(EViewStyle::LargeIcons);
    EXPECT_EQ(f.list.CurrentView(), icons);
    EXPECT_TRUE(icons->isVisible());
    EXPECT_FALSE(details->isVisible());
    EXPECT_EQ(icons->viewMode(), QListView::IconMode);
    EXPECT_EQ(icons->iconSize(), QSize(32, 32));
    EXPECT_EQ(icons->movement(), QListView::Static);

    f.list.SetViewStyle(EViewStyle::SmallIcons);
    EXPECT_EQ(icons->viewMode(), QListView::ListMode);
    EXPECT_EQ(icons->flow(), QListView::LeftToRight);
    EXPECT_EQ(icons->iconSize(), QSize(16, 16));

    f.list.SetViewStyle(EViewStyle::List);
    EXPECT_EQ(f.list.ViewStyle(), EViewStyle::List);
    EXPECT_EQ(icons->viewMode(), QListView::ListMode);
    EXPECT_EQ(icons->flow(), QListView::TopToBottom);
    EXPECT_TRUE(icons->isWrapping());

    f.list.SetViewStyle(EViewStyle::Details);
    EXPECT_EQ(f.list.CurrentView(), details);
    EXPECT_TRUE(details->isVisible());
    EXPECT_FALSE(icons->isVisible());
}

TEST(ListViewEx, ReportsHeaderClicksActivationAndContextMenus) {
    SListFixture f(kFour);
    ASSERT_TRUE(f.exposed);
    QTreeView* details = f.list.DetailsView();
    QSignalSpy clicks(&f.list, &CListViewEx::ColumnClicked);
    QHeaderView* header = details->header();
    const QPoint secondHeader(header->sectionViewportPosition(1) + 40, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, secondHeader);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 1);

    QSignalSpy activations(&f.list, &CListViewEx::ItemActivated);
    const QPoint third = f.Cell(2, 1).center();
    QTest::mouseClick(details->viewport(), Qt::LeftButton, {}, third);
    EXPECT_EQ(activations.count(), 0) << "one click only selects";
    QTest::mouseDClick(details->viewport(), Qt::LeftButton, {}, third);
    ASSERT_EQ(activations.count(), 1);
    EXPECT_EQ(activations[0][0].toInt(), 2);
    details->setCurrentIndex(f.model.index(1, 0));
    QTest::keyClick(details, Qt::Key_Return);
    ASSERT_EQ(activations.count(), 2);
    EXPECT_EQ(activations[1][0].toInt(), 1);

    QSignalSpy menus(&f.list, &CListViewEx::ContextMenuRequested);
    const QPoint where = f.Cell(0, 0).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, where,
                            details->viewport()->mapToGlobal(where));
    QCoreApplication::sendEvent(details->viewport(), &event);
    ASSERT_EQ(menus.count(), 1);
    EXPECT_EQ(menus[0][0].toPoint(), details->viewport()->mapToGlobal(where));
}

// From the keyboard the menu opens on the focused row, in either kind of view.
TEST(ListViewEx, KeyboardContextMenuOpensAtTheFocusedRow) {
    SListFixture f(kFour);
    ASSERT_TRUE(f.exposed);
    QSignalSpy menus(&f.list, &CListViewEx::ContextMenuRequested);
    for (const EViewStyle style : {EViewStyle::Details, EViewStyle::List}) {
        f.list.SetViewStyle(style);
        QAbstractItemView* view = f.list.CurrentView();
        view->setCurrentIndex(f.model.index(2, 0));
        const QPoint row =
            view->viewport()->mapToGlobal(view->visualRect(f.model.index(2, 0)).center());
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, {}, {});
        QCoreApplication::sendEvent(view, &menuKey);
        QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_F10);
        ASSERT_EQ(menus.count(), 2) << "F10 alone asks for no menu";
        EXPECT_EQ(menus.takeFirst()[0].toPoint(), row);
        EXPECT_EQ(menus.takeFirst()[0].toPoint(), row);
    }
}
