#include "views/TreeCovers.h"

#include "views/LeftView.h"

#include <QEvent>
#include <QIcon>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidgetItem>
#include <QTreeWidgetItemIterator>

#include <utility>

namespace {

// Whether a node was looked at; its plain icon, kept while it shows a cover.
constexpr int kAskedRole = CLeftView::kCoverRole + 1;
constexpr int kPlainIconRole = CLeftView::kCoverRole + 2;

} // namespace

CTreeCovers::CTreeCovers(CLeftView& tree, CCoverLoader& loader, CCoverLoader::Lookup lookup)
    : QObject(&tree), tree_(tree), loader_(loader), lookup_(std::move(lookup)) {
    QAbstractItemModel* model = tree_.model();
    // Clearing the tree deletes its items: a picture that comes later has nowhere to go.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &CTreeCovers::Forget);
    connect(model, &QAbstractItemModel::rowsInserted, this, &CTreeCovers::Schedule);
    connect(&tree_, &QTreeWidget::itemExpanded, this, &CTreeCovers::Schedule);
    connect(tree_.verticalScrollBar(), &QScrollBar::valueChanged, this, &CTreeCovers::Schedule);
    connect(&loader_, &CCoverLoader::Loaded, this,
            [this](CCoverLoader::Ticket ticket, const QImage& image) {
                if (QTreeWidgetItem* item = pending_.take(ticket))
                    SetCover(item, image);
            });
    connect(&loader_, &CCoverLoader::Failed, this,
            [this](CCoverLoader::Ticket ticket) { pending_.remove(ticket); });
    tree_.viewport()->installEventFilter(this);
}

CTreeCovers::~CTreeCovers() {
    Forget();
}

// A taller tree shows more nodes.
bool CTreeCovers::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize)
        Schedule();
    return QObject::eventFilter(watched, event);
}

void CTreeCovers::Forget() {
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it)
        loader_.Cancel(it.key());
    pending_.clear();
}

void CTreeCovers::SetEnabled(bool on) {
    if (on_ == on)
        return;
    on_ = on;
    if (on) {
        Schedule();
        return;
    }
    Forget();
    for (QTreeWidgetItemIterator it(&tree_); *it != nullptr; ++it) {
        QTreeWidgetItem* item = *it;
        item->setData(0, kAskedRole, QVariant());
        if (const QVariant plain = item->data(0, kPlainIconRole); plain.isValid()) {
            item->setIcon(0, plain.value<QIcon>());
            item->setData(0, kPlainIconRole, QVariant());
        }
    }
}

void CTreeCovers::Schedule() {
    if (scheduled_ || !on_)
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        LookAtVisibleNodes();
    });
}

// From the first row in sight down to the last.
void CTreeCovers::LookAtVisibleNodes() {
    if (!on_)
        return;
    const int bottom = tree_.viewport()->height();
    for (QTreeWidgetItem* item = tree_.itemAt(0, 0); item != nullptr;
         item = tree_.itemBelow(item)) {
        if (tree_.visualItemRect(item).top() > bottom)
            break;
        if (item->data(0, CLeftView::kCoverRole).toBool() && !item->data(0, kAskedRole).toBool())
            Ask(item);
    }
}

void CTreeCovers::Ask(QTreeWidgetItem* item) {
    item->setData(0, kAskedRole, true);
    const std::optional<TrackArray> tracks = tree_.NodeTracks(item);
    if (!tracks || tracks->empty())
        return;
    const std::optional<SCoverSource> source = lookup_(*tracks->front());
    if (!source)
        return;
    const QSize side(kRequestSide, kRequestSide);
    if (const std::optional<QImage> cached = loader_.Cached(*source, side))
        SetCover(item, *cached);
    else
        pending_.insert(loader_.Request(*source, side), item);
}

void CTreeCovers::SetCover(QTreeWidgetItem* item, const QImage& image) {
    if (!item->data(0, kPlainIconRole).isValid())
        item->setData(0, kPlainIconRole, item->icon(0));
    item->setIcon(0, QIcon(QPixmap::fromImage(image)));
}
