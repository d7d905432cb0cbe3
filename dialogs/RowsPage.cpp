#include "dialogs/RowsPage.h"

#include "desktop/FrameStrings.h"
#include "dialogs/OptionValues.h"
#include "platform/StringIds.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Values of DoubleClickAction.
constexpr int kActionPlay = 0;
constexpr int kActionEnqueue = 1;
constexpr int kActionProperties = 2;

QRadioButton* Radio(EStringId text, const char* name, bool checked, QLayout& layout) {
    auto* button = new QRadioButton(CFrameStrings::Get(text));
    button->setObjectName(QLatin1String(name));
    button->setChecked(checked);
    layout.addWidget(button);
    return button;
}

} // namespace

CRowsPage::CRowsPage(const SOptionValues& values, QWidget* parent) : COptionPage(parent) {
    auto* action = new QGroupBox(CFrameStrings::Get(EStringId::OptRowAction));
    auto* actionLayout = new QVBoxLayout(action);
    const int stored = values.doubleClickAction;
    play_ = Radio(EStringId::OptActionPlay, "actionPlay", stored == kActionPlay, *actionLayout);
    enqueue_ = Radio(EStringId::OptActionEnqueue, "actionEnqueue", stored == kActionEnqueue,
                     *actionLayout);
    properties_ = Radio(EStringId::OptActionProperties, "actionProperties",
                        stored == kActionProperties, *actionLayout);

    auto* selection = new QGroupBox(CFrameStrings::Get(EStringId::OptRowSelection));
    fullRowSelection_ = new QCheckBox(CFrameStrings::Get(EStringId::OptFullRowSelection));
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
