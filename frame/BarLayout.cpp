#include "frame/BarLayout.h"

#include "desktop/BusyAnimation.h"
#include "desktop/FrameStrings.h"
#include "frame/AddressBar.h"
#include "frame/CommandTable.h"
#include "platform/StringIds.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kMinButtonWidth = 50;
constexpr int kMaxButtonWidth = 150;
constexpr QSize kImageOnlyButton(32, 30);
constexpr int kAnimationSide = 40;
constexpr int kAddressRowPadding = 10;
// The filter box's width while the address keeps a roomy width, and the least it shrinks to
// when the window is narrow; the address takes the rest.
constexpr int kFilterWidth = 160;
constexpr int kNarrowFilterWidth = 100;
constexpr int kRoomyAddress = 400;

QToolBar* FixedBar(QMainWindow& window, const char* name) {
    auto* bar = new QToolBar(&window);
    bar->setObjectName(QLatin1String(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    window.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

} // namespace

CBarLayout::CBarLayout(QMainWindow& window, CCommandTable& commands, CAddressBar& addressBox,
                       QLineEdit& filterBox, QWidget& stopButton, CBusyAnimation& animation)
    : addressBox_(addressBox), filterBox_(filterBox) {
    buttons_ = FixedBar(window, "toolBar");
    buttons_->setIconSize(QSize(ResourceId::kToolImageSize, ResourceId::kToolImageSize));
    buttons_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    commands.BuildToolBar(*buttons_);
    window.addToolBarBreak(Qt::TopToolBarArea);

    addressRow_ = FixedBar(window, "addressBar");
    auto* label = new QLabel(CFrameStrings::Get(EStringId::LabelAddress), addressRow_);
    label->setContentsMargins(4, 0, 6, 0);
    label->setBuddy(&addressBox);
    addressLabel_ = addressRow_->addWidget(label);
    address_ = addressRow_->addWidget(&addressBox);
    filterBox.setFixedWidth(kFilterWidth);
    filter_ = addressRow_->addWidget(&filterBox);
    auto* gap = new QWidget(addressRow_);
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    gap_ = addressRow_->addWidget(gap);
    stop_ = addressRow_->addWidget(&stopButton);
    stop_->setVisible(false);
    animation.setFixedSize(kAnimationSide, kAnimationSide);
    addressRow_->addWidget(&animation);
    MeasureButtons();
    addressRow_->installEventFilter(this);
}

int CBarLayout::FilterWidth(int sharedWidth) {
    return std::clamp(sharedWidth - kRoomyAddress, kNarrowFilterWidth, kFilterWidth);
}

// The row has laid out its parts for its new width when its resize comes here; the filter's
// new width lays them out again.
bool CBarLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == addressRow_ && event->type() == QEvent::Resize && filterBox_.isVisible()) {
        const int width = FilterWidth(addressBox_.width() + filterBox_.width());
        if (width != filterBox_.width())
            filterBox_.setFixedWidth(width);
    }
    return QObject::eventFilter(watched, event);
}

void CBarLayout::ShowStop(bool show) {
    stop_->setVisible(show);
}

// Every button takes the size of the widest label, within the bar's limits.
void CBarLayout::MeasureButtons() {
    QSize size(kMinButtonWidth, 0);
    for (QAction* action : buttons_->actions())
        if (QWidget* button = buttons_->widgetForAction(action))
            size = size.expandedTo(button->sizeHint());
    labelledSize_ = QSize(std::min(size.width(), kMaxButtonWidth), size.height());
}

void CBarLayout::Apply(bool showToolBar, bool showAddressBar, bool showLabels) {
    buttons_->setToolButtonStyle(showLabels ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    const QSize size = showLabels ? labelledSize_ : kImageOnlyButton;
    for (QAction* action : buttons_->actions())
        if (QWidget* button = buttons_->widgetForAction(action))
            button->setFixedSize(size);
    addressBox_.setMinimumWidth(size.width());
    const int editHeight = addressBox_.lineEdit() != nullptr
                               ? addressBox_.lineEdit()->sizeHint().height()
                               : addressBox_.sizeHint().height();
    addressRow_->setMinimumHeight(std::max(editHeight + kAddressRowPadding, kAnimationSide));

    buttons_->setVisible(showToolBar);
    addressLabel_->setVisible(showAddressBar);
    address_->setVisible(showAddressBar);
    filter_->setVisible(showAddressBar);
    gap_->setVisible(!showAddressBar);
}
