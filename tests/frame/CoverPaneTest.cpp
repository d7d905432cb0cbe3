#include "frame/CoverPane.h"
#include "frame/CoverWindow.h"
#include "model/Mp3File.h"
#include "support/CatalogFixture.h"
#include "support/IdleFrame.h"
#include "views/FrameServices.h"
#include "views/LeftView.h"
#include "views/ListViewEx.h"
#include "views/QuavView.h"
#include "views/TrackTableModel.h"

#include <QItemSelectionModel>
#include <QTest>

#include <cstdlib>
#include <memory>

namespace {

// The tree, the list and the pane as the window puts them together, on a folder of three tracks
// of which "a.mp3" alone has a cover (a picture file of 600 x 400) and "c.mp3" a broken one.
class CoverPaneTest : public CCatalogFixture {
protected:
    void SetUp() override {
        if (std::system(("convert -size 600x400 xc:green '" + (dir / "cover.png") + "'").c_str()) !=
            0)
            GTEST_SKIP() << "ImageMagick is missing";
        dir.Write("bad.jpg", "not a picture");
        for (const char* name : {"music/a.mp3", "music/b.mp3", "music/c.mp3"})
            Track(name, "Artist");
        settings.UseCachedCatalog = 0;
        doc = std::make_unique<CQuavDoc>(settings, nullptr, reporter);
        tree = std::make_unique<CLeftView>(*doc, frame);
        list = std::make_unique<CQuavView>(*doc, settings, frame);
        loader = std::make_unique<CCoverLoader>(nullptr, QString::fromStdString(dir / "thumbs"));
        pane = std::make_unique<CCoverPane>(
            *loader, [this](const CMp3File& track) { return Lookup(track); });
        pane->resize(200, 200);
        pane->Follow(*tree, *list);
        doc->SendInitialUpdate();
        ASSERT_TRUE(doc->OpenAddress(dir / "music"));
    }
    void TearDown() override {
        pane.reset();
        loader.reset();
        list.reset();
        tree.reset();
    }
    std::optional<SCoverSource> Lookup(const CMp3File& track) const {
        if (track.FileName() == "a.mp3")
            return SCoverSource{dir / "cover.png", 0, 0, SCoverSource::EImage::Png, false};
        if (track.FileName() == "c.mp3")
            return SCoverSource{dir / "bad.jpg", 0, 0, SCoverSource::EImage::Jpeg, false};
        return std::nullopt;
    }
    void SelectRow(const std::string& name) {
        const CTrackTableModel& model = list->Model();
        for (int row = 0; row < model.rowCount(); ++row)
            if (model.Track(row)->FileName() == name)
                list->List()->SelectRow(row);
    }
    void Settle() {
        QCoreApplication::processEvents();
        loader->WaitForIdle();
        QCoreApplication::processEvents();
    }

    CIdleFrame frame;
    std::unique_ptr<CQuavDoc> doc;
    std::unique_ptr<CLeftView> tree;
    std::unique_ptr<CQuavView> list;
    std::unique_ptr<CCoverLoader> loader;
    std::unique_ptr<CCoverPane> pane;
};

// The selected row's cover, else the node's first track's; nothing where there is none, or
// where the picture is broken.
TEST_F(CoverPaneTest, ShowsTheSelectionsCover) {
    const struct {
        const char* row; // none: the tree's node alone
        bool shown;
    } cases[] = {{nullptr, true}, {"b.mp3", false}, {"a.mp3", true}, {"c.mp3", false}};
    for (const auto& test : cases) {
        list->List()->SelectionModel()->clearSelection();
        if (test.row != nullptr)
            SelectRow(test.row);
        Settle();
        const std::string what = test.row != nullptr ? test.row : "node";
        EXPECT_EQ(!pane->isHidden(), test.shown) << what;
        EXPECT_EQ(!pane->pixmap().isNull(), test.shown) << what;
        if (test.shown) {
            EXPECT_EQ(pane->pixmap().width(), 200) << what;
        }
    }
    pane->SetEnabled(false);
    SelectRow("a.mp3");
    Settle();
    EXPECT_TRUE(pane->isHidden());
    EXPECT_FALSE(pane->IsLoading());
}

// A click opens the picture at its own size in a window of its own.
TEST_F(CoverPaneTest, ClickOpensTheFullPicture) {
    SelectRow("a.mp3");
    Settle();
    ASSERT_FALSE(pane->pixmap().isNull());
    QTest::mouseClick(pane.get(), Qt::LeftButton);
    ASSERT_NE(pane->FullWindow(), nullptr);
    Settle();
    EXPECT_FALSE(pane->FullWindow()->IsLoading());
    EXPECT_EQ(pane->FullWindow()->PictureSize(), QSize(600, 400));
    pane->FullWindow()->close();
}

} // namespace
