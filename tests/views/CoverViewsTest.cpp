#include "ViewFixture.h"
#include "desktop/CoverLoader.h"
#include "model/Mp3File.h"
#include "res/ResourceIds.h"
#include "views/CoverIconDelegate.h"
#include "views/LeftView.h"
#include "views/ListViewEx.h"
#include "views/TreeCovers.h"

#include <QCoreApplication>
#include <QListView>
#include <QTreeWidgetItem>

#include <cstdlib>
#include <set>

namespace {

// The list's large icons and the tree's album nodes, each track's cover a picture file: green
// for every track but "t1.mp3", which has none.
class CoverViewsTest : public CQuavViewTest {
protected:
    void SetUp() override {
        if (std::system(("convert -size 60x40 xc:lime '" + (dir / "cover.png") + "'").c_str()) != 0)
            GTEST_SKIP() << "ImageMagick is missing";
        std::vector<STrackFields> tracks;
        for (int i = 0; i < 120; ++i) {
            const std::string number = std::to_string(i);
            tracks.push_back({"t" + number + ".mp3", "Title " + number, "Artist", 10});
        }
        WriteTracks(tracks);
        loader = std::make_unique<CCoverLoader>(nullptr, QString::fromStdString(dir / "thumbs"));
    }
    void TearDown() override {
        view.reset(); // its icon delegate lets go of its requests first
        loader.reset();
    }
    std::optional<SCoverSource> Lookup(const CMp3File& track) {
        asked.insert(std::string(track.FileName()));
        if (track.FileName() == "t1.mp3")
            return std::nullopt;
        return SCoverSource{dir / "cover.png", 0, 0, SCoverSource::EImage::Png, false};
    }
    void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            loader->WaitForIdle();
        }
        QCoreApplication::processEvents();
    }

    std::unique_ptr<CCoverLoader> loader;
    std::set<std::string> asked;
};

// Only the large-icon style asks, and only for the rows in sight; their covers arrive at the
// icon size.
TEST_F(CoverViewsTest, LargeIconsAskForRowsInSight) {
    Open();
    view->List()->ShowCovers(*loader, [this](const CMp3File& track) { return Lookup(track); });
    view->resize(400, 200);
    Settle();
    EXPECT_TRUE(asked.empty()); // details
    view->SetViewStyle(EViewStyle::LargeIcons);
    view->List()->IconView()->viewport()->repaint();
    Settle();
    EXPECT_FALSE(asked.empty());
    EXPECT_LT(asked.size(), 60U);
    EXPECT_EQ(view->List()->CoverDelegate()->PendingCount(), 0);
    const SCoverSource cover{dir / "cover.png", 0, 0, SCoverSource::EImage::Png, false};
    const std::optional<QImage> icon = loader->Cached(cover, QSize(32, 32));
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(icon->size(), QSize(32, 21));
    asked.clear();
    view->List()->IconView()->viewport()->repaint();
    Settle();
    EXPECT_TRUE(asked.empty()) << "a row is looked up once while the rows stay";
    view->SetViewStyle(EViewStyle::SmallIcons);
    view->List()->IconView()->viewport()->repaint();
    Settle();
    EXPECT_TRUE(asked.empty());
}

// An album's node shows its first track's cover once in sight, and its own icon again when the
// covers are turned off.
TEST_F(CoverViewsTest, AlbumNodesShowTheirCover) {
    Open();
    CLeftView albums(*doc, frame);
    albums.OnInitialUpdate();
    doc->SetDisplayMode(EDisplayMode::AlbumArtist);
    auto* covers =
        new CTreeCovers(albums, *loader, [this](const CMp3File& track) { return Lookup(track); });
    albums.resize(250, 400);
    albums.show();
    albums.OnUpdate(nullptr, EHint::RebuildBegin, nullptr);
    albums.OnUpdate(nullptr, EHint::RebuildEnd, nullptr);
    Settle();
    ASSERT_EQ(albums.RootItem()->childCount(), 1);
    QTreeWidgetItem* album = albums.RootItem()->child(0);
    EXPECT_TRUE(album->data(0, CLeftView::kCoverRole).toBool());
    EXPECT_FALSE(albums.RootItem()->data(0, CLeftView::kCoverRole).toBool());
    const QImage shown = album->icon(0).pixmap(32, 32).toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::green));
    covers->SetEnabled(false);
    const QImage plain = album->icon(0).pixmap(16, 16).toImage();
    EXPECT_NE(plain.pixelColor(8, 8), QColor(Qt::green));
}

} // namespace
