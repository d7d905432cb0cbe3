// The track list against the tree: refilling 1,200 rows in all fourteen columns and sorting them
// by two keys, then painting the window, must take less than rebuilding the tree's node for the
// same tracks (the root and its artist nodes, sorted, the root selected) and painting it.
#include "app/AppSettings.h"
#include "bench/BenchCollection.h"
#include "bench/SnapshotFloor.h"
#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "model/FieldIds.h"
#include "platform/IniProfile.h"
#include "platform/Reporter.h"
#include "platform/TextCodec.h"
#include "views/FrameServices.h"
#include "views/QuavView.h"
#include "views/TrackTableModel.h"

#include <QApplication>
#include <QTreeWidget>

#include <cstdio>

namespace {

constexpr int kRows = 1200;
constexpr int kArtists = 100;
constexpr int kRuns = 30;

class CQuietReporter : public IReporter {
public:
    void Report(std::string_view, std::string_view) override {}
};

class CIdleFrame : public IFrameServices {
public:
    void UpdateStatusPanes(const QString&, const QString&, const QString&, const QString&,
                           const QString&) override {}
    void BeginBusy() override {}
    void EndBusy() override {}
    void CycleFocus() override {}
};

// Lays out and paints what the user would see next.
void Show(QWidget& widget) {
    QCoreApplication::processEvents();
    widget.repaint();
}

void RebuildTree(QTreeWidget& tree, const CQuavDoc& doc) {
    tree.setSortingEnabled(false);
    tree.clear();
    auto* root = new QTreeWidgetItem(QStringList(QString::fromUtf8(doc.GetTitle())));
    tree.addTopLevelItem(root);
    for (const auto& group : doc.ArtistGroups()) {
        auto* node = new QTreeWidgetItem(root, QStringList(CTextCodec::ToQString(group->name)));
        node->setData(0, Qt::UserRole,
                      QVariant::fromValue(reinterpret_cast<quintptr>(group.get())));
    }
    tree.setSortingEnabled(true);
    tree.sortItems(0, Qt::AscendingOrder);
    root->setExpanded(true);
    tree.setCurrentItem(root);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: GuiListBench DATA-FOLDER QUAVERO-SCAN\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string folder = std::string(argv[1]) + "/gui1200";
    CSnapshotFloor::WriteSynthetic(folder, kRows, kArtists);

    CAppSettings settings;
    settings.LoadSettings(CIniProfile(std::string(argv[1]) + "/gui-bench.ini"));
    settings.UseCachedCatalog = 1;
    settings.MaxRow = kRows;
    settings.DisplayAll = 1;
    settings.FullRowSelection = 1;
    settings.SortingColumn = FieldId::kArtist;
    settings.SecondarySortingColumn = -FieldId::kTitle;
    CQuietReporter reporter;
    CQuavDoc doc(settings, nullptr, reporter);
    doc.SetStoreSnapshots(false);
    CIdleFrame frame;
    CQuavView view(doc, settings, frame);
    doc.SendInitialUpdate();
    view.resize(1024, 600);
    view.show();
    doc.OpenAddress(folder);
    const TrackArray& tracks = doc.GetTrackList().Tracks();

    const double refill = CBenchCollection::BestSeconds(
        kRuns, [&] { doc.UpdateAllViews(nullptr, HINT_SHOW_TRACKS, &tracks); });
    const double refillShown = CBenchCollection::BestSeconds(kRuns, [&] {
        doc.UpdateAllViews(nullptr, HINT_SHOW_TRACKS, &tracks);
        Show(view);
    });

    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.resize(250, 600);
    tree.show();
    const double rebuild = CBenchCollection::BestSeconds(kRuns, [&] {
        RebuildTree(tree, doc);
        Show(tree);
    });

    std::printf("Track list: %d rows in %d columns, sorted by artist then title descending; tree "
                "node of %zu artists\n",
                view.Model().rowCount(), view.Model().columnCount(), doc.ArtistGroups().GetSize());
    std::printf("  refill alone (rows and sort)                 %9.3f ms\n", refill * 1e3);
    CBenchCollection::PrintRow("list refill + paint vs tree rebuild + paint", refillShown, rebuild,
                               "< 1.0", refillShown < rebuild);
    return 0;
}
