#pragma once

#include "desktop/CoverLoader.h"

#include <QHash>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

#include <optional>

class QListView;

// The icon view's rows in the large-icon style: each track's cover as its icon, scaled to the
// icon size, the track's image until it comes and where there is none. A cover is asked for
// when its row is painted, so only rows in sight ask; a request whose row has scrolled out of
// sight before its picture came is cancelled. Painting never waits: it takes what the loader
// has in memory.
class CCoverIconDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CCoverIconDelegate(QListView& view, CCoverLoader& loader, CCoverLoader::Lookup lookup);
    ~CCoverIconDelegate() override;

    int PendingCount() const { return static_cast<int>(pending_.size()); }
    // Every request let go (the rows are about to change, or the style does).
    void Forget();
    // The rows' covers are looked up again when next painted (their tags may have changed).
    void ForgetSources() { sources_.clear(); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    void DropUnseen();
    // Where the row's cover lies, looked up once while the rows stay: the lookup may open the
    // track's file, and a view repaints its rows at each scroll.
    const std::optional<SCoverSource>& SourceOf(const QModelIndex& index,
                                                const CMp3File& track) const;

    QListView& view_;
    CCoverLoader& loader_;
    CCoverLoader::Lookup lookup_;
    // Asked while painting, which is const to the delegate.
    mutable QHash<CCoverLoader::Ticket, QPersistentModelIndex> pending_;
    mutable QHash<QPersistentModelIndex, CCoverLoader::Ticket> asked_;
    mutable QHash<QPersistentModelIndex, std::optional<SCoverSource>> sources_;
    bool sweepScheduled_ = false;
    // The view lays out every row through sizeHint, which also takes the style options; only a
    // row being painted is in sight.
    mutable bool painting_ = false;
};
