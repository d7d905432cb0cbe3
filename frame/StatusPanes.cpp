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

// Text widths in pixels; the information pane takes what the others leave.
constexpr std::array kPaneWidths{150, 100, 16, 150, 65, 65};
constexpr int kStretchingPane = CStatusPanes::kInformation;
constexpr int kPaneMargin = 3;
constexpr int kPaneGap = 2;
// Where the bar is too narrow, panes give up width in this order; one left narrower than
// kNarrowest is hidden rather than shown as an empty frame.
constexpr std::array kShrinkOrder{CStatusPanes::kInformation, CStatusPanes::kLocation,
                                  CStatusPanes::kCount,       CStatusPanes::kTime,
                                  CStatusPanes::kSize,        CStatusPanes::kMode};
constexpr int kNarrowest = 24;
constexpr std::array kPaneNames{"Location", "Information", "Display mode", "Files", "Size", "Time"};

int FullWidth(int pane) {
    return kPaneWidths[static_cast<std::size_t>(pane)] + 2 * kPaneMargin + 2;
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
// a narrow bar takes width from the panes in a fixed order.
void CStatusPanes::Arrange(int width) {
    const int height = strip_->height();
    if (prompting_) {
        panes_[kLocation].box->setGeometry(0, 0, width, height);
        return;
    }
    std::array<int, kPaneCount> widths{};
    int total = -kPaneGap;
    for (int i = 0; i < kPaneCount; ++i)
        total += (widths[static_cast<std::size_t>(i)] = FullWidth(i)) + kPaneGap;
    for (const int pane : kShrinkOrder) {
        int& paneWidth = widths[static_cast<std::size_t>(pane)];
        const int cut = std::clamp(total - width, 0, paneWidth);
        paneWidth -= cut;
        total -= cut;
        if (paneWidth > 0 && paneWidth < kNarrowest) {
            total -= paneWidth + kPaneGap;
            paneWidth = 0;
        }
    }
    widths[kStretchingPane] += widths[kStretchingPane] > 0 ? std::max(0, width - total) : 0;
    int x = 0;
    for (int i = 0; i < kPaneCount; ++i) {
        const int paneWidth = widths[static_cast<std::size_t>(i)];
        panes_[i].box->setVisible(paneWidth > 0);
        panes_[i].box->setGeometry(x, 0, paneWidth, height);
        x += paneWidth > 0 ? paneWidth + kPaneGap : 0;
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
    Arrange(strip_->width());
}

void CStatusPanes::ShowPrompt(const QString& prompt) {
    BeginPrompt();
    panes_[kLocation].text->setText(prompt);
}

void CStatusPanes::EndPrompt() {
    if (!prompting_)
        return;
    prompting_ = false;
    Arrange(strip_->width());
    panes_[kLocation].text->setText(savedText_);
}
