#include "views/ListViewEx.h"

#include "views/CoverIconDelegate.h"
#include "views/FullRowDelegate.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QStackedLayout>
#include <QTreeView>

#include <algorithm>
#include <utility>

namespace {

int PressedKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return 0;
    return static_cast<const QKeyEvent*>(event)->key();
}

// The menu key arrives as a context-menu event from the keyboard; Shift+F10 is the other key
// that asks for one, and the window system does not turn it into such an event.
bool IsKeyboardMenu(const QEvent* event) {
    if (event->type() == QEvent::ContextMenu)
        return static_cast<const QContextMenuEvent*>(event)->reason() ==
               QContextMenuEvent::Keyboard;
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
}

// A menu asked for from the keyboard opens on the focused row, brought into sight first; with
// no focused row, at the top left corner of the rows.
QPoint FocusedRowPoint(QAbstractItemView* view) {
    const QModelIndex current = view->currentIndex();
    QPoint point;
    if (current.isValid()) {
        view->scrollTo(current);
        point = view->visualRect(current).center();
    }
    return view->viewport()->mapToGlobal(point);
}

} // namespace

CListViewEx::CListViewEx(QWidget* parent)
    : QWidget(parent), delegate_(new CFullRowDelegate(this)), details_(new QTreeView(this)),
      icons_(new QListView(this)), stack_(new QStackedLayout(this)), emptyText_(new QLabel(this)) {
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(details_);
    stack_->addWidget(icons_);
    SetUpDetails();
    SetUpIcons();
    ForwardSignals(details_);
    ForwardSignals(icons_);
    setFocusProxy(details_);
    stack_->setCurrentWidget(details_);
    emptyText_->setObjectName(QStringLiteral("emptyText"));
    emptyText_->setAlignment(Qt::AlignCenter);
    emptyText_->setAttribute(Qt::WA_TransparentForMouseEvents);
    emptyText_->setEnabled(false);
    emptyText_->hide();
    details_->viewport()->installEventFilter(this);
    icons_->viewport()->installEventFilter(this);
}

void CListViewEx::SetUpDetails() {
    details_->setItemDelegate(delegate_);
    details_->setRootIsDecorated(false);
    details_->setItemsExpandable(false);
    details_->setUniformRowHeights(true);
    details_->setAllColumnsShowFocus(false);
    details_->setIconSize(QSize(kSmallIconSize, kSmallIconSize));
    QHeaderView* header = details_->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setTextElideMode(Qt::ElideRight);
    connect(header, &QHeaderView::sectionClicked, this, &CListViewEx::ColumnClicked);
    // The highlight and the focus frame of a row follow the list's focus.
    details_->installEventFilter(this);
}

// Laid out a batch of rows at a time between turns of the event loop, so that a list of many
// thousand rows never holds the window while it is placed.
void CListViewEx::SetUpIcons() {
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(kLayoutBatch);
    icons_->setMovement(QListView::Static);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setTextElideMode(Qt::ElideRight);
    icons_->installEventFilter(this);
}

void CListViewEx::ForwardSignals(QAbstractItemView* view) {
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setDragEnabled(true);
    view->setDragDropMode(QAbstractItemView::DragOnly);
    view->setDefaultDropAction(Qt::CopyAction);
    // Not `activated`: where the style activates on a single click, a click would play.
    connect(view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT ItemActivated(index.row()); });
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](QPoint position) {
        Q_EMIT ContextMenuRequested(view->viewport()->mapToGlobal(position));
    });
}

// Each view makes a selection model of its own for a new model; the icon view's is replaced
// by the details view's, and the one they shared before is dropped.
void CListViewEx::SetModel(QAbstractItemModel* model) {
    if (model == Model() && details_->selectionModel())
        return;
    QItemSelectionModel* previous = details_->selectionModel();
    details_->setModel(model);
    icons_->setModel(model);
    QItemSelectionModel* own = icons_->selectionModel();
    icons_->setSelectionModel(details_->selectionModel());
    delete own;
    delete previous;
    WatchSelection();
}

void CListViewEx::WatchSelection() {
    connect(Model(), &QAbstractItemModel::modelReset, this, &CListViewEx::PlaceEmptyText);
    QItemSelectionModel* selection = details_->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &CListViewEx::RepaintDetails);
    connect(selection, &QItemSelectionModel::currentChanged, this, &CListViewEx::RepaintDetails);
}

QAbstractItemModel* CListViewEx::Model() const {
    return details_->model();
}

QItemSelectionModel* CListViewEx::SelectionModel() const {
    return details_->selectionModel();
}

QAbstractItemView* CListViewEx::CurrentView() const {
    if (style_ == EViewStyle::Details)
        return details_;
    return icons_;
}

void CListViewEx::SetViewStyle(EViewStyle style) {
    const bool hadFocus = CurrentView()->hasFocus();
    style_ = style;
    if (style != EViewStyle::Details)
        ApplyIconStyle(style);
    stack_->setCurrentWidget(CurrentView());
    setFocusProxy(CurrentView());
    PlaceEmptyText();
    if (hadFocus)
        CurrentView()->setFocus();
}

void CListViewEx::ApplyIconStyle(EViewStyle style) {
    const bool large = style == EViewStyle::LargeIcons;
    icons_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    icons_->setMovement(QListView::Static);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setWrapping(true);
    icons_->setFlow(style == EViewStyle::List ? QListView::TopToBottom : QListView::LeftToRight);
    icons_->setWordWrap(large);
    const int side = large ? kLargeIconSize : kSmallIconSize;
    icons_->setIconSize(QSize(side, side));
    if (coverDelegate_ != nullptr) {
        if (!large)
            coverDelegate_->Forget();
        icons_->setItemDelegate(large ? coverDelegate_ : plainDelegate_);
    }
}

void CListViewEx::ShowCovers(CCoverLoader& loader, CCoverLoader::Lookup lookup) {
    if (coverDelegate_ != nullptr)
        return;
    plainDelegate_ = icons_->itemDelegate();
    coverDelegate_ = new CCoverIconDelegate(*icons_, loader, std::move(lookup));
    if (Model() != nullptr) {
        connect(Model(), &QAbstractItemModel::modelAboutToBeReset, coverDelegate_,
                &CCoverIconDelegate::Forget);
        connect(Model(), &QAbstractItemModel::dataChanged, coverDelegate_,
                &CCoverIconDelegate::ForgetSources);
    }
    if (style_ == EViewStyle::LargeIcons)
        ApplyIconStyle(style_);
}

bool CListViewEx::SetFullRowSelection(bool on) {
    if (delegate_->FullRowSelection() == on)
        return false;
    delegate_->SetFullRowSelection(on);
    RepaintDetails();
    return true;
}

bool CListViewEx::FullRowSelection() const {
    return delegate_->FullRowSelection();
}

void CListViewEx::SetAlwaysShowSelection(bool on) {
    delegate_->SetAlwaysShowSelection(on);
    RepaintDetails();
}

bool CListViewEx::AlwaysShowSelection() const {
    return delegate_->AlwaysShowSelection();
}

// Rows are highlighted beyond their cells (to the window's edge), which the tree's own
// per-cell updates do not cover; repainting the few visible rows whole is cheap.
void CListViewEx::RepaintDetails() {
    if (style_ == EViewStyle::Details)
        details_->viewport()->update();
}

std::vector<int> CListViewEx::SelectedRows() const {
    std::vector<int> rows;
    const QItemSelectionModel* selection = SelectionModel();
    if (!selection)
        return rows;
    for (const QItemSelectionRange& range : selection->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CListViewEx::SelectAll() {
    const QAbstractItemModel* model = Model();
    QItemSelectionModel* selection = SelectionModel();
    if (!model || !selection || model->rowCount() == 0 || model->columnCount() == 0)
        return;
    const QItemSelection all(model->index(0, 0),
                             model->index(model->rowCount() - 1, model->columnCount() - 1));
    selection->select(all, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CListViewEx::SelectRow(int row) {
    const QAbstractItemModel* model = Model();
    if (model == nullptr || row < 0 || row >= model->rowCount() || model->columnCount() == 0)
        return;
    const QModelIndex index = model->index(row, 0);
    SelectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    CurrentView()->scrollTo(index);
}

void CListViewEx::SetEmptyText(const QString& text) {
    emptyText_->setText(text);
    PlaceEmptyText();
}

QString CListViewEx::EmptyText() const {
    return emptyText_->isVisible() ? emptyText_->text() : QString();
}

// Over the rows' area of the shown view, below the header, while there is no row.
void CListViewEx::PlaceEmptyText() {
    const QAbstractItemModel* model = Model();
    const bool empty = model == nullptr || model->rowCount() == 0;
    emptyText_->setVisible(empty && !emptyText_->text().isEmpty());
    if (emptyText_->isHidden())
        return;
    const QWidget* rows = CurrentView()->viewport();
    emptyText_->setGeometry(QRect(rows->mapTo(this, QPoint(0, 0)), rows->size()));
    emptyText_->raise();
}

int CListViewEx::CurrentRow() const {
    const QItemSelectionModel* selection = SelectionModel();
    return selection && selection->currentIndex().isValid() ? selection->currentIndex().row() : -1;
}

int CListViewEx::ColumnWidth(int column) const {
    return details_->columnWidth(column);
}

void CListViewEx::SetColumnWidth(int column, int width) {
    details_->setColumnWidth(column, width);
}

// Enter on the current row is then processed by the list as usual.
bool CListViewEx::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == CurrentView()->viewport())
        PlaceEmptyText();
    const int key = watched == details_ || watched == icons_ ? PressedKey(event) : 0;
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        Q_EMIT TabPressed();
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && CurrentRow() >= 0)
        Q_EMIT ItemActivated(CurrentRow());
    if ((watched == details_ || watched == icons_) && IsKeyboardMenu(event)) {
        Q_EMIT ContextMenuRequested(FocusedRowPoint(static_cast<QAbstractItemView*>(watched)));
        return true;
    }
    if (watched == details_ &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        RepaintDetails();
    return QWidget::eventFilter(watched, event);
}
