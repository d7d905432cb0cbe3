// The window during a long walk: it keeps painting and counting files, its animation plays, the
// tree holds nothing, input other than Stop is dropped rather than replayed on the new content,
// and a close stops the walk.
#include "catalog/CatalogView.h"
#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "desktop/BusyAnimation.h"
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "frame/StatusPanes.h"
#include "gui/AppFixture.h"
#include "settings/SettingsKeys.h"
#include "support/RebuildWatcher.h"
#include "views/LeftView.h"
#include "views/ListViewEx.h"
#include "views/QuavView.h"
#include "views/TrackTableModel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <filesystem>

#include <chrono>
#include <functional>
#include <thread>

using namespace SettingsKey;
using Busy = CAppFixture;

namespace {

// Input as the window system queues it while the program is busy: it waits until the program
// looks at its events again.
void QueueClick(QWindow* window, QPoint at, bool twice = false) {
    using EDelivery = QWindowSystemInterface::AsynchronousDelivery;
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
        QWindowSystemInterface::handleMouseEvent<EDelivery>(window, at, window->mapToGlobal(at),
                                                            Qt::LeftButton, Qt::LeftButton,
                                                            QEvent::MouseButtonPress);
        QWindowSystemInterface::handleMouseEvent<EDelivery>(window, at, window->mapToGlobal(at),
                                                            Qt::NoButton, Qt::LeftButton,
                                                            QEvent::MouseButtonRelease);
    }
}

void QueueKey(QWindow* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    using EDelivery = QWindowSystemInterface::AsynchronousDelivery;
    QWindowSystemInterface::handleKeyEvent<EDelivery>(window, QEvent::KeyPress, key, modifiers);
    QWindowSystemInterface::handleKeyEvent<EDelivery>(window, QEvent::KeyRelease, key, modifiers);
}

// Closes, and counts, every dialog that opens while it lives.
struct SModalCounter {
    SModalCounter() {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++count;
                modal->close();
            }
        });
        timer.start(10);
    }
    QTimer timer;
    int count = 0;
};

struct SDuringWalk {
    bool ran = false;
    QString count;
    QString size;
    QString location;
    bool playing = false;
    int treeItems = -1;
};

} // namespace

TEST_F(Busy, TheWindowKeepsCountingAndPaintingDuringAWalk) {
    for (int i = 0; i < 3; ++i)
        Track("other/" + std::to_string(i) + ".mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionAdvanced, kUseCachedCatalog, "0");
    Start();
    CMainFrame& frame = Frame();
    SDuringWalk seen;
    // Posted now, it can only run inside the walk, when the window lets its events through.
    CRebuildWatcher watcher(Doc(), [&] {
        QTimer::singleShot(0, &frame, [&] {
            seen.ran = true;
            seen.count = frame.StatusPanes().Text(CStatusPanes::kCount);
            seen.size = frame.StatusPanes().Text(CStatusPanes::kSize);
            seen.location = frame.StatusPanes().Text(CStatusPanes::kLocation);
            seen.playing = Animation().IsPlaying();
            seen.treeItems = frame.GetLeftView()->topLevelItemCount();
        });
        // Longer than the window waits between two looks at its events.
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
    });
    ASSERT_TRUE(frame.GoToAddress(QString::fromStdString(dir / "other")));
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(seen.count, QStringLiteral("1 file(s)"));
    EXPECT_EQ(seen.size, QString()) << "the old node's total is gone with its tree";
    EXPECT_EQ(seen.location, QString());
    EXPECT_TRUE(seen.playing);
    EXPECT_EQ(seen.treeItems, 0);
    EXPECT_FALSE(Animation().IsPlaying());
    EXPECT_EQ(frame.StatusPanes().Text(CStatusPanes::kCount), QStringLiteral("3 file(s)"));
    EXPECT_FALSE(frame.StatusPanes().Text(CStatusPanes::kSize).isEmpty());

    // The next walk of the address knows how many files to expect.
    seen = {};
    frame.Commands().Action(ECommandId::Refresh)->setEnabled(true);
    Doc().Refresh();
    ASSERT_TRUE(seen.ran);
    EXPECT_EQ(seen.count, QStringLiteral("1 of about 3 files"));
}

// Keys and clicks given during a walk, on the tree, the list and the tool bar, are not kept to
// act on the catalog that follows; the commands on tracks are off meanwhile.
TEST_F(Busy, InputDuringAWalkIsDroppedNotReplayed) {
    for (int i = 0; i < 3; ++i)
        Track("other/" + std::to_string(i) + ".mp3", "Ann");
    Track("music/a.mp3", "Bob");
    Set(kSectionMp3, kFilePath, Music());
    Set(kSectionUser, kDoubleClickAction, "2");
    Start();
    CMainFrame& frame = Frame();
    CLeftView& tree = *frame.GetLeftView();
    CQuavView& list = *frame.GetTrackListView();
    QTreeView& details = *list.List()->DetailsView();
    const QRect root = tree.visualItemRect(Root());
    const QPoint node = tree.viewport()->mapTo(&frame, root.center() + QPoint(0, root.height()));
    const QPoint row =
        details.viewport()->mapTo(&frame, details.visualRect(list.Model().index(0, 0)).center());
    const QPoint button = ToolButton(ECommandId::List)->mapTo(&frame, QPoint(5, 5));
    QWindow* window = frame.windowHandle();
    std::vector<bool> enabled;
    CRebuildWatcher watcher(Doc(), [&] {
        QueueClick(window, node);
        QueueClick(window, row, true);
        QueueClick(window, button);
        QueueKey(window, Qt::Key_A, Qt::ControlModifier);
        QueueKey(window, Qt::Key_P, Qt::ControlModifier);
        QTimer::singleShot(0, &frame, [&] {
            for (ECommandId id : {ECommandId::Play, ECommandId::Copy, ECommandId::Properties,
                                  ECommandId::Refresh, ECommandId::Exit})
                enabled.push_back(frame.Commands().Action(id)->isEnabled());
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
    });
    SModalCounter dialogs;
    ASSERT_TRUE(frame.GoToAddress(QString::fromStdString(dir / "other")));
    for (int i = 0; i < 5; ++i)
        Idle();
    EXPECT_EQ(enabled, (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(tree.currentItem(), Root());
    EXPECT_EQ(list.ViewStyle(), EViewStyle::Details);
    EXPECT_TRUE(list.SelectedTracks().empty());
    EXPECT_EQ(dialogs.count, 0);
}

// Stop, by its button or Esc, ends the walk at the next file: what was read is shown, the title
// says the catalog is incomplete, and no snapshot is written of it.
class CStopDuringWalk : public CAppFixture, public testing::WithParamInterface<bool> {};

TEST_P(CStopDuringWalk, KeepsWhatWasReadAndWritesNoSnapshot) {
    const bool byKey = GetParam();
    for (int i = 0; i < 40; ++i)
        Track("other/" + std::to_string(i) + ".mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    auto& stop = Named<QToolButton>("stopButton");
    // The button shows once the walk is under way, and is clicked as soon as it is there.
    std::function<void()> clickWhenShown = [&] {
        QTimer::singleShot(1, &frame, [&] {
            if (stop.isVisible())
                QTest::mouseClick(&stop, Qt::LeftButton);
            else
                clickWhenShown();
        });
    };
    CRebuildWatcher watcher(Doc(), [&] {
        if (byKey)
            QueueKey(frame.windowHandle(), Qt::Key_Escape);
        else
            clickWhenShown();
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
    });
    ASSERT_TRUE(frame.GoToAddress(QString::fromStdString(dir / "other")));
    Idle();
    const std::size_t read = Doc().GetTrackList().GetSize();
    EXPECT_GE(read, 1u);
    EXPECT_LT(read, 40u);
    EXPECT_TRUE(frame.windowTitle().endsWith(QStringLiteral(" (incomplete) - Quavero")));
    EXPECT_FALSE(std::filesystem::exists(dir / "other/mp3cache.qvc"));
    EXPECT_FALSE(stop.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Busy, CStopDuringWalk, testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Esc" : "Button"; });

// The window goes at once; it closes for good, writing its settings, when the walk has ended
// at its next file.
TEST_F(Busy, ACloseDuringAWalkStopsItAndClosesAtOnce) {
    for (int i = 0; i < 40; ++i)
        Track("other/" + std::to_string(i) + ".mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    bool visibleAfterClose = true;
    CRebuildWatcher watcher(Doc(), [&] {
        frame.close();
        visibleAfterClose = frame.isVisible();
    });
    ASSERT_TRUE(frame.GoToAddress(QString::fromStdString(dir / "other")));
    EXPECT_FALSE(visibleAfterClose);
    EXPECT_EQ(Doc().GetTrackList().GetSize(), 0u) << "the walk stopped at its first file";
    EXPECT_EQ(Stored(kSectionUser, kViewType), "<absent>");
    Idle();
    EXPECT_FALSE(frame.isVisible());
    EXPECT_EQ(Stored(kSectionUser, kViewType), "0");
    EXPECT_EQ(Stored(kSectionUser, "Address0"), Music());
}

TEST_F(Busy, TheAnimationPlaysItsFramesAndRestsOnTheFirst) {
    Start();
    CBusyAnimation animation;
    EXPECT_FALSE(animation.Open({}));
    QList<QPixmap> frames;
    for (int i = 0; i < 4; ++i)
        frames.append(QPixmap(8, 8));
    ASSERT_TRUE(animation.Open(frames));
    animation.Play(1, 2, 2);
    EXPECT_TRUE(animation.IsPlaying());
    EXPECT_EQ(animation.CurrentFrame(), 1);
    // Twice through frames 1 and 2, then it stops on the last one.
    for (int wait = 0; wait < 250 && animation.IsPlaying(); ++wait)
        Idle();
    EXPECT_FALSE(animation.IsPlaying());
    EXPECT_EQ(animation.CurrentFrame(), 2);
    animation.Play(0, -1, CBusyAnimation::kForever);
    animation.Seek(9);
    EXPECT_EQ(animation.CurrentFrame(), 3);
    animation.Stop();
    animation.Seek(0);
    EXPECT_FALSE(animation.IsPlaying());
    EXPECT_EQ(animation.CurrentFrame(), 0);
}
