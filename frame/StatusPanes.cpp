#include "frame/StatusPanes.h"

#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>

#include <array>

namespace {

// Text widths in pixels; the information pane takes what the others leave.
constexpr std::array kPaneWidths{150, 100, 16, 150, 65, 65};
constexpr int kStretchingPane = CStatusPanes::kInformation;
constexpr int kPaneMargin = 3;

} // namespace

CStatusPanes::CStatusPanes(QStatusBar& bar) {
    auto* strip = new QWidget(&bar);
    layout_ = new QHBoxLayout(strip);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(2);
    for (int i = 0; i < kPaneCount; ++i) {
        SPane pane;
        auto* box = new QFrame(strip);
        box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(kPaneMargin, 0, kPaneMargin, 0);
        row->setSpacing(2);
        pane.box = box;
        pane.icon = new QLabel(box);
        pane.icon->setFixedSize(ResourceId::kSmallImageSize, ResourceId::kSmallImageSize);
        pane.icon->hide();
        pane.text = new QLabel(box);
        pane.text->setTextFormat(Qt::PlainText);
        // A long text is cut at the pane's edge instead of widening the window.
        pane.text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        row->addWidget(pane.icon);
        row->addWidget(pane.text, 1);
        layout_->addWidget(box, i == kStretchingPane ? 1 : 0);
        panes_.append(pane);
        SetPaneWidth(i);
    }
    panes_[kMode].text->hide();
    bar.addWidget(strip, 1);
}

void CStatusPanes::SetPaneWidth(int pane) {
    QWidget* box = panes_[pane].box;
    const int width = kPaneWidths[static_cast<std::size_t>(pane)] + 2 * kPaneMargin + 2;
    if (pane == kStretchingPane) {
        box->setMinimumWidth(width);
        box->setMaximumWidth(QWIDGETSIZE_MAX);
    } else {
        box->setFixedWidth(width);
    }
}

void CStatusPanes::SetText(int pane, const QString& text) {
    if (pane == kLocation && prompting_)
        savedText_ = text;
    else
        panes_[pane].text->setText(text);
}

QString CStatusPanes::Text(int pane) const {
    return panes_[pane].text->text();
}

void CStatusPanes::SetIcon(int pane, int image) {
    SPane& target = panes_[pane];
    target.image = image;
    target.icon->setVisible(image >= 0);
    target.icon->setPixmap(image >= 0 ? CResources::SmallPixmap(image) : QPixmap());
}

int CStatusPanes::IconImage(int pane) const {
    return panes_[pane].image;
}

QWidget* CStatusPanes::Pane(int pane) const {
    return panes_[pane].box;
}

void CStatusPanes::BeginPrompt() {
    if (prompting_)
        return;
    prompting_ = true;
    savedText_ = panes_[kLocation].text->text();
    for (int i = kLocation + 1; i < kPaneCount; ++i)
        panes_[i].box->hide();
    panes_[kLocation].box->setMinimumWidth(0);
    panes_[kLocation].box->setMaximumWidth(QWIDGETSIZE_MAX);
    layout_->setStretch(kLocation, 1);
}

void CStatusPanes::ShowPrompt(const QString& prompt) {
    BeginPrompt();
    panes_[kLocation].text->setText(prompt);
}

void CStatusPanes::EndPrompt() {
    if (!prompting_)
        return;
    prompting_ = false;
    layout_->setStretch(kLocation, 0);
    SetPaneWidth(kLocation);
    for (int i = kLocation + 1; i < kPaneCount; ++i)
        panes_[i].box->show();
    panes_[kLocation].text->setText(savedText_);
}
