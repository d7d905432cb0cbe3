#include "frame/StatusPanes.h"

#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>

#include <algorithm>
#include <array>
#include <functional>

namespace {

using EPane = CStatusPanes::EPane;

// Text widths in pixels; the information pane takes what the others leave.
constexpr std::array kPaneWidths{150, 100, 16, 150, 65, 65};
constexpr int kPaneMargin = 3;
constexpr int kPaneGap = 2;
constexpr int kIconGap = 2;
// Where the bar is too narrow, panes give up width in this order, the totals down to their
// texts' widths; then whole panes go in the second order.
constexpr std::array kShrinkOrder{CStatusPanes::kInformation, CStatusPanes::kCount,
                                  CStatusPanes::kLocation, CStatusPanes::kTime,
                                  CStatusPanes::kSize};
constexpr std::array kTotals{CStatusPanes::kCount, CStatusPanes::kSize, CStatusPanes::kTime};
constexpr std::array kDropOrder{CStatusPanes::kMode,        CStatusPanes::kTime,
                                CStatusPanes::kSize,        CStatusPanes::kLocation,
                                CStatusPanes::kInformation, CStatusPanes::kCount};
constexpr int kNarrowest = 24;
// Location and information narrower than this help less than one of them alone.
constexpr int kUseful = 60;
constexpr std::array kPaneNames{"Location", "Information", "Display mode", "Files", "Size", "Time"};

// The frame and margins around a pane's text.
constexpr int kChrome = 2 * kPaneMargin + 2;

int FullWidth(int pane) {
    return kPaneWidths[static_cast<std::size_t>(pane)] + kChrome;
}

template <std::size_t N>
int Total(const std::array<int, N>& widths) {
    int total = -kPaneGap;
    for (const int width : widths)
        total += width > 0 ? width + kPaneGap : 0;
    return std::max(total, 0);
}

// The strip that holds the panes; it places them itself whenever its width changes.
class CPaneStrip : public QWidget {
public:
    CPaneStrip(QWidget* parent, std::function<void(int)> arrange)
        : QWidget(parent), arrange_(std::move(arrange)) {}

protected:
    void resizeEvent(QResizeEvent*) override { arrange_(width()); }

private:
    std::function<void(int)> arrange_;
};

} // namespace

CStatusPanes::CStatusPanes(QStatusBar& bar) {
    auto* strip = new CPaneStrip(&bar, [this](int width) { Arrange(width); });
    strip_ = strip;
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
        box->setAccessibleName(QString::fromLatin1(kPaneNames[static_cast<std::size_t>(i)]));
        pane.text = new QLabel(box);
        pane.text->setTextFormat(Qt::PlainText);
        // A long text is cut at the pane's edge instead of widening the window.
        pane.text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        row->addWidget(pane.icon);
        row->addWidget(pane.text, 1);
        panes_.append(pane);
    }
    panes_[kMode].text->hide();
    strip->setMinimumHeight(panes_[kLocation].box->sizeHint().height());
    bar.addWidget(strip, 1);
}

// Every pane keeps its width while the bar has room, the information pane taking what is left;
// a narrow bar takes width from the panes in a fixed order. Where location and information would
// both be cramped, the more useful one takes the room of both: the selected track's
// information when there is one, else the node's location.
void CStatusPanes::Arrange(int width) {
    const int height = strip_->height();
    if (prompting_) {
        panes_[kLocation].box->setGeometry(0, 0, width, height);
        Elide(kLocation);
        return;
    }
    std::array<int, kPaneCount> widths{};
    std::array<int, kPaneCount> least{};
    for (int i = 0; i < kPaneCount; ++i)
        widths[static_cast<std::size_t>(i)] = least[static_cast<std::size_t>(i)] = FullWidth(i);
    for (const EPane pane : kTotals) {
        least[pane] = NeededWidth(pane);
        widths[pane] = std::max(widths[pane], least[pane]);
    }
    least[kLocation] = least[kInformation] = kNarrowest;
    for (const EPane pane : kShrinkOrder)
        widths[pane] -= std::clamp(Total(widths) - width, 0, widths[pane] - least[pane]);
    if (std::min(widths[kLocation], widths[kInformation]) < kUseful) {
        const bool information = !panes_[kInformation].whole.isEmpty();
        widths[information ? kInformation : kLocation] =
            widths[kLocation] + kPaneGap + widths[kInformation];
        widths[information ? kLocation : kInformation] = 0;
    }
    for (const EPane pane : kDropOrder)
        if (Total(widths) > width)
            widths[pane] = 0;
    const EPane stretching = widths[kInformation] > 0 ? kInformation : kLocation;
    if (widths[stretching] > 0)
        widths[stretching] += std::max(0, width - Total(widths));
    int x = 0;
    for (int i = 0; i < kPaneCount; ++i) {
        const int paneWidth = widths[static_cast<std::size_t>(i)];
        panes_[i].box->setVisible(paneWidth > 0);
        panes_[i].box->setGeometry(x, 0, paneWidth, height);
        x += paneWidth > 0 ? paneWidth + kPaneGap : 0;
        Elide(i);
    }
}

void CStatusPanes::Rearrange() {
    Arrange(strip_->width());
}

int CStatusPanes::NeededWidth(int pane) const {
    const SPane& target = panes_[pane];
    const int icon = target.image >= 0 ? ResourceId::kSmallImageSize + kIconGap : 0;
    return std::max(kNarrowest, target.text->fontMetrics().horizontalAdvance(target.whole) +
                                    kChrome + icon + 1);
}

// The room is the pane's width less its frame, margins and icon, whether or not its layout has
// placed the label yet.
void CStatusPanes::Elide(int pane) {
    SPane& target = panes_[pane];
    const int icon = target.image >= 0 ? ResourceId::kSmallImageSize + kIconGap : 0;
    const int room = target.box->width() - kChrome - icon;
    const QString shown =
        target.text->fontMetrics().elidedText(target.whole, Qt::ElideRight, std::max(room, 0));
    target.text->setText(shown);
    target.box->setToolTip(shown != target.whole ? target.whole : QString());
}

void CStatusPanes::SetText(int pane, const QString& text) {
    if (pane == kLocation && prompting_) {
        savedText_ = text;
        return;
    }
    panes_[pane].whole = text;
    Rearrange();
}

QString CStatusPanes::Text(int pane) const {
    return panes_[pane].whole;
}

QString CStatusPanes::ShownText(int pane) const {
    return panes_[pane].text->text();
}

QString CStatusPanes::ToolTip(int pane) const {
    return panes_[pane].box->toolTip();
}

void CStatusPanes::SetIcon(int pane, int image) {
    SPane& target = panes_[pane];
    target.image = image;
    target.icon->setVisible(image >= 0);
    target.icon->setPixmap(image >= 0 ? CResources::SmallPixmap(image) : QPixmap());
    Rearrange();
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
    savedText_ = panes_[kLocation].whole;
    for (int i = kLocation + 1; i < kPaneCount; ++i)
        panes_[i].box->hide();
    Rearrange();
}

void CStatusPanes::ShowPrompt(const QString& prompt) {
    BeginPrompt();
    panes_[kLocation].whole = prompt;
    Elide(kLocation);
}

void CStatusPanes::EndPrompt() {
    if (!prompting_)
        return;
    prompting_ = false;
    panes_[kLocation].whole = savedText_;
    Rearrange();
}
