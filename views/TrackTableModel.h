#pragma once

#include "model/FieldIds.h"
#include "model/TrackArray.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>

#include <vector>

class CMp3File;

// The shown tracks as a table: one row per track, one column per field id in display order.
// The tracks belong to the document; the model only points at them, so the view calls Clear()
// before the document destroys them.
class CTrackTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Data role giving a row's CMp3File* as a quintptr.
    static constexpr int kTrackRole = Qt::UserRole;

    explicit CTrackTableModel(QObject* parent = nullptr);

    // Missing labels read as empty; missing alignments as left.
    void SetColumns(std::vector<EFieldId> fieldIds, std::vector<QString> labels);
    void SetColumnAlignments(std::vector<Qt::Alignment> alignments);
    void SetTracks(TrackArray tracks);
    void Clear();
    void SetRowIcon(const QIcon& icon);

    CMp3File* Track(int row) const;
    const TrackArray& Tracks() const { return tracks_; }
    EFieldId ColumnField(int column) const;
    const std::vector<EFieldId>& ColumnFields() const { return fieldIds_; }

    // Orders the rows by the signed primary key, ties by the secondary key, and keeps the
    // current order of rows equal on both (0 compares everything equal). Sort(key, 0) thus
    // re-sorts by one key with the present order as the tie-break. Selections follow the rows.
    void Sort(int primaryKey, int secondaryKey);
    // The same order for tracks that are not rows.
    static void SortTracks(TrackArray& tracks, int primaryKey, int secondaryKey);
    // The tracks' fields changed (a tag was written): every cell is read again.
    void RefreshTexts();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Rows dragged out go as "text/uri-list": one file URI per row, in row order, made from
    // the path's bytes.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

private:
    Qt::Alignment ColumnAlignment(int column) const;
    void MoveRows(const std::vector<int>& order);

    TrackArray tracks_;
    std::vector<EFieldId> fieldIds_;
    std::vector<QString> labels_;
    std::vector<Qt::Alignment> alignments_;
    QIcon rowIcon_;
};
