#include "ViewFixture.h"

#include "catalog/Hints.h"
#include "support/Mp3Maker.h"
#include "views/ListViewEx.h"
#include "views/TrackTableModel.h"

#include <QHeaderView>
#include <QTest>
#include <QTreeView>

void CRootSelector::OnUpdate(CView*, EHint hint, const TrackArray*) {
    if (hint == EHint::RebuildEnd)
        doc_.UpdateAllViews(this, EHint::ShowTracks, &doc_.GetTrackList().Tracks());
}

CQuavViewTest::CQuavViewTest() : music(dir.MakeDir("music")), profile(dir / "quavero.ini") {}

void CQuavViewTest::WriteTracks(const std::vector<STrackFields>& tracks) {
    const std::string header = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413);
    for (const STrackFields& track : tracks) {
        const auto filler = static_cast<std::size_t>(track.fillerBytes);
        dir.Write("music/" + track.name,
                  header + Mp3Maker::Filler(filler) +
                      Mp3Maker::Tag(track.title, track.artist, "Album", "2001", "", 13));
    }
}

void CQuavViewTest::Open() {
    settings.LoadSettings(profile);
    settings.UseCachedCatalog = 0;
    doc = std::make_unique<CQuavDoc>(settings, nullptr, reporter);
    tree = std::make_unique<CRootSelector>(*doc);
    view = std::make_unique<CQuavView>(*doc, settings, frame);
    view->LoadColumnSettings(profile);
    doc->SendInitialUpdate();
    view->resize(1800, 400);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    ASSERT_TRUE(doc->OpenAddress(music));
}

void CQuavViewTest::ClickHeader(const QString& label) {
    const int column = static_cast<int>(Headers().indexOf(label));
    ASSERT_GE(column, 0) << label.toStdString();
    QHeaderView* header = view->List()->DetailsView()->header();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

void CQuavViewTest::SendTracks(const TrackArray& tracks) {
    doc->UpdateAllViews(tree.get(), EHint::ShowTracks, &tracks);
}

QStringList CQuavViewTest::Headers() const {
    QStringList labels;
    const CTrackTableModel& model = view->Model();
    for (int column = 0; column < model.columnCount(); ++column)
        labels << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    return labels;
}

std::vector<int> CQuavViewTest::Widths() const {
    std::vector<int> widths;
    for (int column = 0; column < view->Model().columnCount(); ++column)
        widths.push_back(view->List()->ColumnWidth(column));
    return widths;
}

std::vector<std::string> CQuavViewTest::RowNames() const {
    return NamesOf(view->Model().Tracks());
}

QString CQuavViewTest::Cell(int row, int column) const {
    const CTrackTableModel& model = view->Model();
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}
