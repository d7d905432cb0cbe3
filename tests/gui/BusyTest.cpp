// The window during a long walk: it keeps painting and counting files, its animation plays, the
// tree holds nothing, and a close request waits for the walk's end.
#include "catalog/CatalogView.h"
#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "desktop/BusyAnimation.h"
#include "frame/MainFrame.h"
#include "frame/StatusPanes.h"
#include "gui/AppFixture.h"
#include "settings/SettingsKeys.h"
#include "views/LeftView.h"

#include <QTimer>

#include <chrono>
#include <functional>
#include <thread>

using namespace SettingsKey;
using Busy = CAppFixture;

namespace {

// Runs `action` when the catalog begins to rebuild.
class CRebuildWatcher : public CView {
public:
    CRebuildWatcher(CDocument& doc, std::function<void()> action)
        : doc_(doc), action_(std::move(action)) {
        doc_.AddView(this);
    }
    ~CRebuildWatcher() override { doc_.RemoveView(this); }
    void OnUpdate(CView*, EHint hint, const TrackArray*) override {
        if (hint == EHint::RebuildBegin)
            action_();
    }

private:
    CDocument& doc_;
    std::function<void()> action_;
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
}

TEST_F(Busy, ACloseDuringAWalkWaitsForItsEnd) {
    Track("other/a.mp3", "Ann");
    Set(kSectionMp3, kFilePath, Music());
    Start();
    CMainFrame& frame = Frame();
    bool visibleAfterClose = false;
    CRebuildWatcher watcher(Doc(), [&] {
        frame.close();
        visibleAfterClose = frame.isVisible();
    });
    ASSERT_TRUE(frame.GoToAddress(QString::fromStdString(dir / "other")));
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_TRUE(frame.isVisible());
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
