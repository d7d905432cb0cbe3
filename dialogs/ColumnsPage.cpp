#include "dialogs/ColumnsPage.h"

#include "desktop/FrameStrings.h"
#include "dialogs/ColumnListDelegate.h"
#include "platform/StringIds.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>
#include <memory>
#include <utility>

namespace {

// Item data: the column's index among the page's copies.
constexpr int kColumnRole = Qt::UserRole;

template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

CColumnsPage::CColumnsPage(const SOptionValues& values, QWidget* parent)
    : COptionPage(parent), columns_(values.columns), list_(Named(new QListWidget, "columnList")) {
    list_->setItemDelegate(new CColumnListDelegate(list_));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addWidget(MakeControls());
    for (std::size_t column = 0; column < columns_.size(); ++column)
        Insert(column);
    connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ToggleDisplayed(); });
    list_->setCurrentRow(0);
    ShowSelected();
}

QWidget* CColumnsPage::MakeControls() {
    auto* up = Named(new QPushButton(CFrameStrings::Get(EStringId::OptMoveUp)), "moveUp");
    auto* down = Named(new QPushButton(CFrameStrings::Get(EStringId::OptMoveDown)), "moveDown");
    connect(up, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { Move(1); });
    auto* order = new QGroupBox(CFrameStrings::Get(EStringId::OptOrder));
    auto* orderLayout = new QVBoxLayout(order);
    orderLayout->addWidget(up);
    orderLayout->addWidget(down);

    auto* alignment = new QGroupBox(CFrameStrings::Get(EStringId::OptAlignment));
    auto* alignLayout = new QVBoxLayout(alignment);
    const std::array radios{std::pair{&left_, EColumnAlign::Left},
                            std::pair{&center_, EColumnAlign::Center},
                            std::pair{&right_, EColumnAlign::Right}};
    constexpr std::array kTexts{EStringId::OptAlignLeft, EStringId::OptAlignCenter,
                                EStringId::OptAlignRight};
    constexpr std::array kNames{"alignLeft", "alignCenter", "alignRight"};
    for (std::size_t i = 0; i < radios.size(); ++i) {
        auto* radio = Named(new QRadioButton(CFrameStrings::Get(kTexts[i])), kNames[i]);
        connect(radio, &QRadioButton::clicked, this,
                [this, align = radios[i].second] { SetAlignment(align); });
        alignLayout->addWidget(radio);
        *radios[i].first = radio;
    }

    displayed_ = Named(new QCheckBox(CFrameStrings::Get(EStringId::OptDisplayed)), "displayed");
    connect(displayed_, &QCheckBox::clicked, this, [this] { ApplyDisplayed(); });
    auto* controls = new QWidget;
    auto* layout = new QVBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(order);
    layout->addWidget(alignment);
    layout->addWidget(displayed_);
    layout->addStretch();
    return controls;
}

void CColumnsPage::Store(SOptionValues& values) const {
    values.columns = columns_;
}

int CColumnsPage::Insert(std::size_t column) {
    const CColumnInfo& info = columns_[column];
    int row = 0;
    while (row < list_->count()) {
        const auto other = list_->item(row)->data(kColumnRole).toUInt();
        if (columns_[other].order > info.order)
            break;
        ++row;
    }
    const QString label = Shown(info.label);
    auto* item = new QListWidgetItem(
        info.displayed != 0 ? label : QLatin1Char('(') + label + QLatin1Char(')'));
    item->setData(kColumnRole, static_cast<unsigned>(column));
    item->setData(CColumnListDelegate::kLabelRole, label);
    item->setData(CColumnListDelegate::kDisplayedRole, info.displayed != 0);
    list_->insertItem(row, item);
    return row;
}

void CColumnsPage::Reinsert(int row) {
    std::unique_ptr<QListWidgetItem> item(list_->takeItem(row));
    list_->setCurrentRow(Insert(item->data(kColumnRole).toUInt()));
}

CColumnInfo* CColumnsPage::SelectedColumn() {
    const QListWidgetItem* item = list_->currentItem();
    if (item == nullptr)
        return nullptr;
    return &columns_[item->data(kColumnRole).toUInt()];
}

void CColumnsPage::ShowSelected() {
    const CColumnInfo* column = SelectedColumn();
    if (column == nullptr)
        return;
    displayed_->setChecked(column->displayed != 0);
    left_->setChecked(column->alignment == EColumnAlign::Left);
    right_->setChecked(column->alignment == EColumnAlign::Right);
    center_->setChecked(column->alignment == EColumnAlign::Center);
}

void CColumnsPage::SetAlignment(EColumnAlign alignment) {
    if (CColumnInfo* column = SelectedColumn())
        column->alignment = alignment;
}

void CColumnsPage::ToggleDisplayed() {
    displayed_->setChecked(!displayed_->isChecked());
    ApplyDisplayed();
}

// The label's parentheses change, its place does not.
void CColumnsPage::ApplyDisplayed() {
    CColumnInfo* column = SelectedColumn();
    if (column == nullptr)
        return;
    column->displayed = displayed_->isChecked() ? 1 : 0;
    Reinsert(list_->currentRow());
}

// Swaps places with the neighbouring entry; the first entry cannot go up, nor the last down.
void CColumnsPage::Move(int step) {
    const int row = list_->currentRow();
    const int neighbour = row + step;
    if (row < 0 || neighbour < 0 || neighbour >= list_->count())
        return;
    const auto other = list_->item(neighbour)->data(kColumnRole).toUInt();
    columns_[list_->item(row)->data(kColumnRole).toUInt()].order += step;
    columns_[other].order -= step;
    Reinsert(row);
}
