#include "views/LeftView.h"

#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "desktop/FrameStrings.h"
#include "desktop/TextCodec.h"
#include "model/TrackTotals.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"
#include "views/FrameServices.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace {

constexpr int kNodeType = QTreeWidgetItem::UserType + 1;

// A tree item of a group, or of every track (the root).
class CNodeItem : public QTreeWidgetItem {
public:
    CNodeItem(const QString& text, const QIcon& icon, GroupNode groupNode)
        : QTreeWidgetItem(kNodeType), node(groupNode) {
        setText(0, text);
        setIcon(0, icon);
    }
    const GroupNode node; // kNoGroupNode: the root
};

GroupNode NodeOf(const QTreeWidgetItem* item) {
    return static_cast<const CNodeItem*>(item)->node;
}

// The texts of the node and of its parents, from the root down; empty for none.
QStringList NamesOf(const QTreeWidgetItem* item) {
    QStringList names;
    for (; item != nullptr; item = item->parent())
        names.prepend(item->text(0));
    return names;
}

// Siblings stand in alphabetical order without regard to case; names equal but for case keep a
// fixed order among themselves.
void SortSiblings(QList<QTreeWidgetItem*>& nodes) {
    std::stable_sort(nodes.begin(), nodes.end(), [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        const int order = QString::compare(a->text(0), b->text(0), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a->text(0) < b->text(0);
    });
}

} // namespace

CLeftView::CLeftView(CQuavDoc& doc, IFrameServices& frame, QWidget* parent)
    : QTreeWidget(parent), doc_(doc), frame_(frame) {
    for (int i = 0; i < static_cast<int>(images_.size()); ++i)
        images_[static_cast<std::size_t>(i)] = CResources::SmallIcon(i);
    setHeaderHidden(true);
    setColumnCount(1);
    setUniformRowHeights(true);
    setIconSize(QSize(ResourceId::kSmallImageSize, ResourceId::kSmallImageSize));
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { OnSelectionChanged(current); });
    doc_.AddView(this);
}

CLeftView::~CLeftView() {
    doc_.RemoveView(this);
}

void CLeftView::OnInitialUpdate() {
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setExpandsOnDoubleClick(true);
}

void CLeftView::OnUpdate(CView*, EHint hint, const TrackArray*) {
    switch (hint) {
    case EHint::RebuildBegin:
        frame_.BeginBusy();
        if (!rebuilding_)
            selectedPath_ = NamesOf(currentItem());
        rebuilding_ = true;
        rootItem_ = nullptr;
        clear();
        break;
    case EHint::RebuildEnd: {
        BuildNodes();
        rebuilding_ = false;
        QTreeWidgetItem* node = FindNode(selectedPath_, foundAgain_);
        setCurrentItem(nullptr);
        setCurrentItem(node);
        foundAgain_ = false;
        selectedPath_.clear();
        frame_.EndBusy();
        break;
    }
    default:
        break;
    }
}

// The root's text is the address's title: a node of another address is never found. A node that
// is gone leaves the deepest of its parents that is still there.
QTreeWidgetItem* CLeftView::FindNode(const QStringList& path, bool& whole) const {
    QTreeWidgetItem* node = rootItem_;
    whole = node != nullptr && !path.isEmpty() && path.front() == node->text(0);
    for (qsizetype depth = 1; whole && depth < path.size(); ++depth) {
        QTreeWidgetItem* child = nullptr;
        for (int i = 0; i < node->childCount() && child == nullptr; ++i)
            if (node->child(i)->text(0) == path[depth])
                child = node->child(i);
        if (child == nullptr)
            whole = false;
        else
            node = child;
    }
    return node;
}

std::optional<TrackArray> CLeftView::NodeTracks(const QTreeWidgetItem* item) const {
    if (item == nullptr || item->type() != kNodeType)
        return std::nullopt;
    if (NodeOf(item) == kNoGroupNode)
        return doc_.GetTrackList().Tracks();
    return doc_.Groups().Tracks(NodeOf(item));
}

void CLeftView::BuildNodes() {
    std::string title;
    EAddressKind kind = EAddressKind::None;
    doc_.GetTitleAndKind(title, kind);
    const auto image = static_cast<std::size_t>(kind);
    const QIcon& rootIcon = images_[image < images_.size() ? image : ResourceId::kImageFolder];
    rootItem_ = new CNodeItem(CTextCodec::ToQString(title), rootIcon, kNoGroupNode);
    addTopLevelItem(rootItem_);
    QList<QTreeWidgetItem*> children;
    if (doc_.DisplayMode() == EDisplayMode::GenreArtist)
        children =
            GroupNodes(doc_.Groups().Genres(), ResourceId::kImageGenre, ResourceId::kImageArtist);
    else if (doc_.DisplayMode() == EDisplayMode::AlbumArtist)
        children =
            GroupNodes(doc_.Groups().Albums(), ResourceId::kImageAlbum, ResourceId::kImageArtist);
    else
        children =
            GroupNodes(doc_.Groups().Artists(), ResourceId::kImageArtist, ResourceId::kImageAlbum);
    rootItem_->addChildren(children);
    rootItem_->setExpanded(true);
}

// A genre's or an album's node holds its artists; an artist's node, grouped by album artist,
// its albums. Siblings come in the order the groups give them when they sort by sort name.
template <class Group>
QList<QTreeWidgetItem*> CLeftView::GroupNodes(std::vector<Group> groups, int image,
                                              int childImage) const {
    const CCatalogGroups& catalog = doc_.Groups();
    if (catalog.SortsByName())
        catalog.Sort(groups);
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(static_cast<qsizetype>(groups.size()));
    const QIcon& icon = images_[static_cast<std::size_t>(image)];
    for (const Group& group : groups) {
        auto* node = new CNodeItem(CTextCodec::ToQString(group.Name()), icon, group.Node());
        if (image == ResourceId::kImageAlbum)
            node->setData(0, kCoverRole, true);
        std::vector<CArtistGroup> children = catalog.Subgroups(group.Node());
        if (!children.empty())
            node->addChildren(GroupNodes(std::move(children), childImage, childImage));
        nodes.append(node);
    }
    if (!catalog.SortsByName())
        SortSiblings(nodes);
    return nodes;
}

// A new caret item shows its tracks in the other views and its totals in the status bar.
void CLeftView::OnSelectionChanged(QTreeWidgetItem* current) {
    if (current == nullptr || current->type() != kNodeType || rebuilding_)
        return;
    const TrackArray* tracks = &doc_.GetTrackList().Tracks();
    if (NodeOf(current) != kNoGroupNode) {
        shown_ = doc_.Groups().Tracks(NodeOf(current));
        tracks = &shown_;
    }
    // The node's totals first: the list puts those of its filtered rows over them.
    const CTrackTotals totals(*tracks);
    frame_.UpdateStatusPanes(current->text(0), QString(),
                             CFrameStrings::FileCount(static_cast<long long>(tracks->size())),
                             QString::fromStdString(totals.SizeText()),
                             QString::fromStdString(totals.TimeText()));
    doc_.UpdateAllViews(this, foundAgain_ ? EHint::ShowTracksAgain : EHint::ShowTracks, tracks);
}

// Tab hands the keyboard to the track list; nothing else moves the focus out of the tree.
// Shift+F10 asks for the current node's menu, which the window system does not do for it.
bool CLeftView::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        const int key = press->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            frame_.CycleFocus();
            return true;
        }
        if (key == Qt::Key_F10 && press->modifiers() == Qt::ShiftModifier) {
            RequestNodeMenu(currentItem(), {});
            return true;
        }
    }
    return QTreeWidget::event(event);
}

// The mouse names the node under it; the keyboard the current node, the menu opening on it.
void CLeftView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse)
        RequestNodeMenu(itemAt(event->pos()), event->globalPos());
    else
        RequestNodeMenu(currentItem(), {});
}

void CLeftView::RequestNodeMenu(QTreeWidgetItem* item, QPoint globalPosition) {
    const std::optional<TrackArray> tracks = NodeTracks(item);
    if (!tracks || rebuilding_)
        return;
    if (globalPosition.isNull()) {
        scrollToItem(item);
        globalPosition = viewport()->mapToGlobal(visualItemRect(item).center());
    }
    Q_EMIT NodeMenuRequested(globalPosition, *tracks);
}

// The root holds every track; the deepest group that holds it is found by the groups.
bool CLeftView::SelectNodeOf(const CMp3File* track) {
    const TrackArray& all = doc_.GetTrackList().Tracks();
    if (rootItem_ == nullptr || std::find(all.begin(), all.end(), track) == all.end())
        return false;
    QTreeWidgetItem* found = rootItem_;
    const GroupNode node = doc_.Groups().NodeOf(track);
    for (QTreeWidgetItemIterator it(this); node != kNoGroupNode && *it != nullptr; ++it)
        if ((*it)->type() == kNodeType && NodeOf(*it) == node)
            found = *it;
    setCurrentItem(found);
    return true;
}
