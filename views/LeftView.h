#pragma once

#include "catalog/CatalogView.h"
#include "catalog/GroupNode.h"

#include <QIcon>
#include <QPoint>
#include <QStringList>
#include <QTreeWidget>

#include <array>
#include <optional>
#include <vector>

class CMp3File;
class CQuavDoc;
class IFrameServices;

// The organisation tree: the address at the root, and below it the artist, genre or album groups
// of the catalog with their artists (an artist's albums, grouped by album artist). Selecting a node
// shows its tracks in the other views and its totals in the status bar. Nodes name the document's
// groups, so they exist only between a rebuild's end and the next rebuild's beginning; a node's
// tracks are made when it is shown.
class CLeftView : public QTreeWidget, public CView {
    Q_OBJECT
public:
    // Set on an album's node: its icon may be the cover of its first track (CTreeCovers).
    static constexpr int kCoverRole = Qt::UserRole + 16;

    CLeftView(CQuavDoc& doc, IFrameServices& frame, QWidget* parent = nullptr);
    ~CLeftView() override;

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, EHint hint, const TrackArray* tracks) override;

    QTreeWidgetItem* RootItem() const { return rootItem_; }
    // The tracks a node stands for, in list order; nullopt for an item of no node.
    std::optional<TrackArray> NodeTracks(const QTreeWidgetItem* item) const;
    // Makes current the deepest node that holds the track (an artist rather than its genre);
    // false when none does.
    bool SelectNodeOf(const CMp3File* track);

Q_SIGNALS:
    // A node's menu, asked for at this point of the screen: by the mouse over the node, or from
    // the keyboard (menu key, Shift+F10) on the current node.
    void NodeMenuRequested(QPoint globalPosition, const TrackArray& tracks);

protected:
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void RequestNodeMenu(QTreeWidgetItem* item, QPoint globalPosition);
    void BuildNodes();
    // The node named as `path` names it from the root down, or the deepest one found.
    QTreeWidgetItem* FindNode(const QStringList& path, bool& whole) const;
    void OnSelectionChanged(QTreeWidgetItem* current);
    template <class Group>
    QList<QTreeWidgetItem*> GroupNodes(std::vector<Group> groups, int image, int childImage) const;

    CQuavDoc& doc_;
    IFrameServices& frame_;
    bool rebuilding_ = false;
    QStringList selectedPath_; // the selected node's names from the root, across a rebuild
    bool foundAgain_ = false;
    QTreeWidgetItem* rootItem_ = nullptr;
    TrackArray shown_; // the tracks of the node shown, when it is a group
    std::array<QIcon, 7> images_;
};
