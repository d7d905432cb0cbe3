#include "dialogs/RowsPage.h"

#include "dialogs/OptionValues.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Values of DoubleClickAction.
constexpr int kActionPlay = 0;
constexpr int kActionEnqueue = 1;
constexpr int kActionProperties = 2;

QRadioButton* Radio(const char* text, const char* name, bool checked, QLayout& layout) {
    auto* button = new QRadioButton(QString::fromUtf8(text));
    button->setObjectName(QLatin1String(name));
    button->setChecked(checked);
    layout.addWidget(button);
    return button;
}

} // namespace

CRowsPage::CRowsPage(const SOptionValues& values, QWidget* parent) : COptionPage(parent) {
    auto* action = new QGroupBox(QStringLiteral("Enter key and double-click action"));
    auto* actionLayout = new QVBoxLayout(action);
    const int stored = values.doubleClickAction;
    play_ = Radio("Play", "actionPlay", stored == kActionPlay, *actionLayout);
    enqueue_ = Radio("Enqueue", "actionEnqueue", stored == kActionEnqueue, *actionLayout);
    properties_ =
        Radio("Properties", "actionProperties", stored == kActionProperties, *actionLayout);

    auto* selection = new QGroupBox(QStringLiteral("Row selection"));
    fullRowSelection_ = new QCheckBox(QStringLiteral("Full row selection"));
    fullRowSelection_->setObjectName(QStringLiteral("fullRowSelection"));
    fullRowSelection_->setChecked(values.fullRowSelection != 0);
    (new QVBoxLayout(selection))->addWidget(fullRowSelection_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(action);
    layout->addWidget(selection);
    layout->addStretch();
}

void CRowsPage::Store(SOptionValues& values) const {
    values.fullRowSelection = fullRowSelection_->isChecked() ? 1 : 0;
    if (play_->isChecked())
        values.doubleClickAction = kActionPlay;
    if (enqueue_->isChecked())
        values.doubleClickAction = kActionEnqueue;
    if (properties_->isChecked())
        values.doubleClickAction = kActionProperties;
}
