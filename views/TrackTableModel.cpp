#include "views/TrackTableModel.h"

#include "desktop/TextCodec.h"
#include "model/Mp3File.h"

#include <QMimeData>

#include <algorithm>
#include <numeric>
#include <set>

namespace {

const QString kUriList = QStringLiteral("text/uri-list");

// By the Track column, the tracks of several discs go disc by disc, those of no known disc first.
int Compare(const CMp3File& left, const CMp3File& right, int key) {
    constexpr int kTrack = static_cast<int>(EFieldId::Track);
    if ((key == kTrack || key == -kTrack) && left.Disc() != right.Disc())
        return (left.Disc() < right.Disc()) == (key > 0) ? -1 : 1;
    return CMp3File::Compare(left, right, key);
}

bool Before(const CMp3File& left, const CMp3File& right, int primaryKey, int secondaryKey) {
    const int primary = Compare(left, right, primaryKey);
    if (primary != 0)
        return primary < 0;
    return Compare(left, right, secondaryKey) < 0;
}

} // namespace

CTrackTableModel::CTrackTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void CTrackTableModel::SetColumns(std::vector<EFieldId> fieldIds, std::vector<QString> labels) {
    beginResetModel();
    fieldIds_ = std::move(fieldIds);
    labels_ = std::move(labels);
    endResetModel();
}

void CTrackTableModel::SetColumnAlignments(std::vector<Qt::Alignment> alignments) {
    alignments_ = std::move(alignments);
    if (!fieldIds_.empty())
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    RefreshTexts();
}

void CTrackTableModel::SetTracks(TrackArray tracks) {
    beginResetModel();
    tracks_ = std::move(tracks);
    endResetModel();
}

void CTrackTableModel::Clear() {
    SetTracks({});
}

void CTrackTableModel::SetRowIcon(const QIcon& icon) {
    rowIcon_ = icon;
    if (!tracks_.empty() && !fieldIds_.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

CMp3File* CTrackTableModel::Track(int row) const {
    if (row < 0 || row >= rowCount())
        return nullptr;
    return tracks_[static_cast<std::size_t>(row)];
}

EFieldId CTrackTableModel::ColumnField(int column) const {
    if (column < 0 || column >= columnCount())
        return EFieldId{};
    return fieldIds_[static_cast<std::size_t>(column)];
}

void CTrackTableModel::Sort(int primaryKey, int secondaryKey) {
    std::vector<int> order(tracks_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return Before(*tracks_[static_cast<std::size_t>(a)], *tracks_[static_cast<std::size_t>(b)],
                      primaryKey, secondaryKey);
    });
    MoveRows(order);
}

void CTrackTableModel::SortTracks(TrackArray& tracks, int primaryKey, int secondaryKey) {
    std::stable_sort(tracks.begin(), tracks.end(), [&](const CMp3File* a, const CMp3File* b) {
        return Before(*a, *b, primaryKey, secondaryKey);
    });
}

// `order` lists the old row of each new row. Persistent indexes (the selection, the current
// row) are moved along so that they keep pointing at the same tracks.
void CTrackTableModel::MoveRows(const std::vector<int>& order) {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(order.size());
    TrackArray sorted(order.size());
    for (std::size_t row = 0; row < order.size(); ++row) {
        const auto old = static_cast<std::size_t>(order[row]);
        sorted[row] = tracks_[old];
        newRowOf[old] = static_cast<int>(row);
    }
    tracks_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(index(newRowOf[static_cast<std::size_t>(old.row())], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CTrackTableModel::RefreshTexts() {
    if (tracks_.empty() || fieldIds_.empty())
        return;
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int CTrackTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(tracks_.size());
}

int CTrackTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fieldIds_.size());
}

QVariant CTrackTableModel::data(const QModelIndex& index, int role) const {
    const CMp3File* track = Track(index.row());
    if (!track || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return CTextCodec::ToQString(track->GetFieldText(ColumnField(index.column())));
    case Qt::TextAlignmentRole:
        return (ColumnAlignment(index.column()) | Qt::AlignVCenter).toInt();
    case Qt::DecorationRole:
        return index.column() == 0 && !rowIcon_.isNull() ? QVariant(rowIcon_) : QVariant();
    case kTrackRole:
        return QVariant::fromValue(reinterpret_cast<quintptr>(track));
    default:
        return {};
    }
}

QVariant CTrackTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const auto column = static_cast<std::size_t>(section);
    if (role == Qt::DisplayRole)
        return column < labels_.size() ? labels_[column] : QString();
    if (role == Qt::TextAlignmentRole)
        return (ColumnAlignment(section) | Qt::AlignVCenter).toInt();
    return {};
}

Qt::Alignment CTrackTableModel::ColumnAlignment(int column) const {
    const auto i = static_cast<std::size_t>(column);
    return i < alignments_.size() ? alignments_[i] : Qt::AlignLeft;
}

Qt::ItemFlags CTrackTableModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) |
           (index.isValid() ? Qt::ItemIsDragEnabled : Qt::NoItemFlags);
}

QStringList CTrackTableModel::mimeTypes() const {
    return {kUriList};
}

// The path's bytes are escaped as they are, so a name that is not UTF-8 reaches the receiver
// as the file it is; lines end in CR LF, as the type asks.
QMimeData* CTrackTableModel::mimeData(const QModelIndexList& indexes) const {
    std::set<int> rows;
    for (const QModelIndex& index : indexes)
        if (Track(index.row()) != nullptr)
            rows.insert(index.row());
    if (rows.empty())
        return nullptr;
    QByteArray list;
    for (const int row : rows) {
        const std::string path = Track(row)->FullPath();
        list +=
            "file://" +
            QByteArray(path.data(), static_cast<qsizetype>(path.size())).toPercentEncoding("/") +
            "\r\n";
    }
    auto* data = new QMimeData;
    data->setData(kUriList, list);
    return data;
}
