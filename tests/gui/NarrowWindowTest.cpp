// A narrow window: the panes keep the user's proportion with the list at least half the width,
// and the address takes the room the filter box does not need.
#include "frame/AddressBar.h"
#include "frame/MainFrame.h"
#include "gui/AppFixture.h"
#include "settings/SettingsKeys.h"

#include <QLineEdit>
#include <QSplitter>
#include <QTest>

using namespace SettingsKey;
using NarrowWindow = CAppFixture;

namespace {

// Drags the handle between the panes to `x` in the splitter.
void DragHandle(QSplitter& splitter, int x) {
    QSplitterHandle* handle = splitter.handle(1);
    const QPoint grip(handle->width() / 2, handle->height() / 2);
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(x - handle->x() - grip.x(), 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(x - handle->x() - grip.x(), 0));
}

} // namespace

TEST_F(NarrowWindow, ThePanesKeepTheUsersProportionAndTheListHalf) {
    Track("music/a.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    QSplitter& split = Frame().Splitter();
    const auto tree = [&split] { return split.sizes().value(0); };
    const auto list = [&split] { return split.sizes().value(1); };
    Frame().resize(1000, 500);
    Idle();
    DragHandle(split, 300);
    ASSERT_NEAR(tree(), 300, 2);
    const double share = static_cast<double>(tree()) / (tree() + list());

    for (const int width : {600, 380, 1200}) {
        Frame().resize(width, 500);
        Idle();
        const int panes = tree() + list();
        EXPECT_NEAR(tree(), share * panes, 2) << width;
        EXPECT_GE(list(), panes / 2) << width;
    }

    DragHandle(split, 900);
    ASSERT_GT(tree(), 800);
    Frame().resize(380, 500);
    Idle();
    EXPECT_GE(list(), tree()) << "the list keeps at least half";
}

TEST_F(NarrowWindow, TheFilterBoxGivesTheAddressItsRoom) {
    Track("music/a.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    auto& filter = Named<QLineEdit>("filterBox");
    Frame().resize(1000, 500);
    Idle();
    EXPECT_EQ(filter.width(), 160);
    const int wide = AddressBox().width();
    Frame().resize(380, 500);
    Idle();
    EXPECT_EQ(filter.width(), 100);
    EXPECT_GE(AddressBox().width(), 160);
    Frame().resize(1000, 500);
    Idle();
    EXPECT_EQ(filter.width(), 160);
    EXPECT_EQ(AddressBox().width(), wide);
}
