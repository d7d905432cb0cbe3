#include "views/CoverIconDelegate.h"

#include "model/Mp3File.h"
#include "views/TrackTableModel.h"

#include <QListView>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>

#include <vector>

CCoverIconDelegate::CCoverIconDelegate(QListView& view, CCoverLoader& loader,
                                       CCoverLoader::Lookup lookup)
    : QStyledItemDelegate(&view), view_(view), loader_(loader), lookup_(std::move(lookup)) {
    connect(&loader_, &CCoverLoader::Loaded, this,
            [this](CCoverLoader::Ticket ticket, const QImage&) {
                const QPersistentModelIndex index = pending_.take(ticket);
                asked_.remove(index);
                if (index.isValid())
                    view_.update(index);
            });
    // A row without a usable picture is not asked again until the rows change.
    connect(&loader_, &CCoverLoader::Failed, this,
            [this](CCoverLoader::Ticket ticket) { pending_.remove(ticket); });
    // After a scroll, the requests of rows gone out of sight go; once per burst of moves.
    for (QScrollBar* bar : {view_.verticalScrollBar(), view_.horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (sweepScheduled_)
                return;
            sweepScheduled_ = true;
            QTimer::singleShot(0, this, [this] {
                sweepScheduled_ = false;
                DropUnseen();
            });
        });
}

CCoverIconDelegate::~CCoverIconDelegate() {
    Forget();
}

void CCoverIconDelegate::Forget() {
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it)
        loader_.Cancel(it.key());
    pending_.clear();
    asked_.clear();
    sources_.clear();
}

const std::optional<SCoverSource>& CCoverIconDelegate::SourceOf(const QModelIndex& index,
                                                                const CMp3File& track) const {
    constexpr qsizetype kMostSources = 4096; // a few screens of rows
    const QPersistentModelIndex row(index);
    auto found = sources_.constFind(row);
    if (found == sources_.cend()) {
        if (sources_.size() >= kMostSources)
            sources_.clear();
        found = sources_.insert(row, lookup_(track));
    }
    return *found;
}

void CCoverIconDelegate::DropUnseen() {
    const QRect seen = view_.viewport()->rect();
    std::vector<CCoverLoader::Ticket> gone;
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it)
        if (!it.value().isValid() || !view_.visualRect(it.value()).intersects(seen))
            gone.push_back(it.key());
    for (const CCoverLoader::Ticket ticket : gone) {
        loader_.Cancel(ticket);
        asked_.remove(pending_.take(ticket));
    }
}

void CCoverIconDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    painting_ = true;
    QStyledItemDelegate::paint(painter, option, index);
    painting_ = false;
}

void CCoverIconDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (!painting_)
        return;
    const auto* model = qobject_cast<const CTrackTableModel*>(index.model());
    const CMp3File* track = model != nullptr ? model->Track(index.row()) : nullptr;
    if (track == nullptr || index.column() != 0)
        return;
    const std::optional<SCoverSource>& source = SourceOf(index, *track);
    if (!source)
        return;
    const QSize side = view_.iconSize();
    if (const std::optional<QImage> cached = loader_.Cached(*source, side)) {
        option->icon = QIcon(QPixmap::fromImage(*cached));
        return;
    }
    const QPersistentModelIndex row(index);
    if (!asked_.contains(row)) {
        const CCoverLoader::Ticket ticket = loader_.Request(*source, side);
        pending_.insert(ticket, row);
        asked_.insert(row, ticket);
    }
}
