#pragma once

#include "desktop/CoverLoader.h"

#include <QHash>
#include <QObject>

class CLeftView;
class QTreeWidgetItem;

// The covers of the tree's album nodes, as their icons: a node the tree marks
// (CLeftView::kCoverRole) shows the cover of its first track, if that has one. Asked for only
// as nodes come into sight (after a rebuild, an expansion, a scroll or a resize), a few at a
// time from the event loop; the album's own icon stays until the picture comes, and where none
// does. Off, every node has its plain icon back and nothing is asked for.
class CTreeCovers : public QObject {
    Q_OBJECT
public:
    static constexpr int kRequestSide = 32; // sharp on a screen of twice the density

    CTreeCovers(CLeftView& tree, CCoverLoader& loader, CCoverLoader::Lookup lookup);
    ~CTreeCovers() override;

    void SetEnabled(bool on);
    bool IsOn() const { return on_; }
    int PendingCount() const { return static_cast<int>(pending_.size()); }
    // Looks at the nodes in sight now.
    void LookAtVisibleNodes();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Schedule();
    void Forget();
    void Ask(QTreeWidgetItem* item);
    void SetCover(QTreeWidgetItem* item, const QImage& image);

    CLeftView& tree_;
    CCoverLoader& loader_;
    CCoverLoader::Lookup lookup_;
    QHash<CCoverLoader::Ticket, QTreeWidgetItem*> pending_;
    bool on_ = true;
    bool scheduled_ = false;
};
