#pragma once

#include "desktop/CoverLoader.h"
#include "views/ViewStyle.h"

#include <QPoint>
#include <QWidget>

#include <vector>

class CCoverIconDelegate;
class CFullRowDelegate;
class QAbstractItemDelegate;
class QAbstractItemModel;
class QLabel;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedLayout;
class QTreeView;

// A list of rows in four styles: a details table (QTreeView, drawn by CFullRowDelegate) and
// large icons, small icons or a plain list (QListView). Both views show one model through one
// selection model, so switching the style keeps the selection. Rows dragged out of the list
// carry what the model gives for them.
class CListViewEx : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSmallIconSize = 16;
    static constexpr int kLargeIconSize = 32;
    static constexpr int kLayoutBatch = 500;

    explicit CListViewEx(QWidget* parent = nullptr);

    // The model stays the caller's; the previous selection model is dropped.
    void SetModel(QAbstractItemModel* model);
    QAbstractItemModel* Model() const;

    void SetViewStyle(EViewStyle style);
    EViewStyle ViewStyle() const { return style_; }
    // Returns whether the mode changed; the details view is repainted then.
    bool SetFullRowSelection(bool on);
    bool FullRowSelection() const;
    // Without it, selected rows look unselected while the list does not have the focus.
    void SetAlwaysShowSelection(bool on);
    bool AlwaysShowSelection() const;

    QTreeView* DetailsView() const { return details_; }
    QListView* IconView() const { return icons_; }
    QAbstractItemView* CurrentView() const;
    QItemSelectionModel* SelectionModel() const;
    CFullRowDelegate* Delegate() const { return delegate_; }

    std::vector<int> SelectedRows() const;
    // The row with the focus frame, or -1.
    int CurrentRow() const;
    void SelectAll();
    // The row alone selected, with the focus frame, and in sight.
    void SelectRow(int row);
    // What an empty list says in its middle (nothing for an empty text).
    void SetEmptyText(const QString& text);
    QString EmptyText() const;
    // The large-icon style shows each track's cover as its icon, through `loader`.
    void ShowCovers(CCoverLoader& loader, CCoverLoader::Lookup lookup);
    CCoverIconDelegate* CoverDelegate() const { return coverDelegate_; }
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

Q_SIGNALS:
    void ColumnClicked(int column);
    // Double-click or Enter on a row.
    void ItemActivated(int row);
    // At the mouse, or from the keyboard (menu key, Shift+F10) at the focused row.
    void ContextMenuRequested(QPoint globalPosition);
    // Tab or Shift+Tab in the list; it moves the focus to the other pane instead of the next
    // widget.
    void TabPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpDetails();
    void SetUpIcons();
    void ForwardSignals(QAbstractItemView* view);
    void WatchSelection();
    void ApplyIconStyle(EViewStyle style);
    void RepaintDetails();
    void PlaceEmptyText();

    CFullRowDelegate* delegate_;
    QTreeView* details_;
    QListView* icons_;
    QStackedLayout* stack_;
    QLabel* emptyText_;
    EViewStyle style_ = EViewStyle::Details;
    CCoverIconDelegate* coverDelegate_ = nullptr;
    QAbstractItemDelegate* plainDelegate_ = nullptr;
};
