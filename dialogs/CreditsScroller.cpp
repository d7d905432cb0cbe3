#include "dialogs/CreditsScroller.h"

#include "desktop/FrameStrings.h"
#include "platform/StringIds.h"

#include <QPainter>
#include <QTimerEvent>

#include <array>
#include <numeric>

namespace {

enum class ECreditAlign : int { Right = 1, Center = 2, Left = 3 };

// One line of the credits: how many rows below the previous line it stands (0: on the same
// row, a role on the right and its name on the left), how it is aligned, whether it is bold.
struct SCreditLine {
    int advance;
    ECreditAlign align;
    bool bold;
    // A role or a sentence comes from the string table; a name is the same in every language.
    EStringId id{};
    const char* text = nullptr;

    constexpr SCreditLine(int rows, ECreditAlign side, bool strong, EStringId textId)
        : advance(rows), align(side), bold(strong), id(textId) {}
    constexpr SCreditLine(int rows, ECreditAlign side, bool strong, const char* name)
        : advance(rows), align(side), bold(strong), text(name) {}

    QString Text() const {
        return text != nullptr ? QString::fromUtf8(text) : CFrameStrings::Get(id);
    }
};

using A = ECreditAlign;
constexpr std::array kCreditLines{
    SCreditLine{1, A::Center, true, "Quavero"},
    SCreditLine{1, A::Center, false, EStringId::AboutSecondLine},
    SCreditLine{4, A::Right, true, EStringId::CreditProgram},
    SCreditLine{0, A::Left, false, EStringId::CreditProject},
    SCreditLine{1, A::Right, true, EStringId::CreditVersion},
    SCreditLine{0, A::Left, false, QUAVERO_VERSION},
    SCreditLine{1, A::Right, true, EStringId::CreditWebPage},
    SCreditLine{0, A::Left, false, "quavero.example"},
    SCreditLine{4, A::Center, true, EStringId::CreditBuiltWith},
    SCreditLine{2, A::Right, true, EStringId::CreditUserInterface},
    SCreditLine{0, A::Left, false, "Qt 6 Widgets"},
    SCreditLine{1, A::Right, true, EStringId::CreditBy},
    SCreditLine{0, A::Left, false, "The Qt Project"},
    SCreditLine{3, A::Right, true, EStringId::CreditDesktop},
    SCreditLine{0, A::Left, false, "GLib and GIO"},
    SCreditLine{1, A::Right, true, EStringId::CreditBy},
    SCreditLine{0, A::Left, false, "The GNOME Project"},
    SCreditLine{3, A::Right, true, EStringId::CreditCompiler},
    SCreditLine{0, A::Left, false, "GCC"},
    SCreditLine{1, A::Right, true, EStringId::CreditBy},
    SCreditLine{0, A::Left, false, "The GNU Project"},
    SCreditLine{3, A::Right, true, EStringId::CreditBuild},
    SCreditLine{0, A::Left, false, "CMake and Ninja"},
    SCreditLine{4, A::Center, true, EStringId::CreditTestedWith},
    SCreditLine{2, A::Right, true, EStringId::CreditUnitTests},
    SCreditLine{0, A::Left, false, "GoogleTest"},
    SCreditLine{1, A::Right, true, EStringId::CreditBenchmarks},
    SCreditLine{0, A::Left, false, "Google Benchmark"},
    SCreditLine{1, A::Right, true, EStringId::CreditFuzzing},
    SCreditLine{0, A::Left, false, "libFuzzer"},
    SCreditLine{1, A::Right, true, EStringId::CreditSanitizers},
    SCreditLine{0, A::Left, false, "ASan and UBSan"},
    SCreditLine{1, A::Right, true, EStringId::CreditStaticAnalysis},
    SCreditLine{0, A::Left, false, "clang-tidy"},
    SCreditLine{1, A::Right, true, EStringId::CreditFormatting},
    SCreditLine{0, A::Left, false, "clang-format"},
    SCreditLine{1, A::Right, true, EStringId::CreditBy},
    SCreditLine{0, A::Left, false, "The LLVM Project"},
    SCreditLine{3, A::Right, true, EStringId::CreditTestFixtures},
    SCreditLine{0, A::Left, false, EStringId::CreditEncodedBy},
    SCreditLine{1, A::Right, true, EStringId::CreditTrayHost},
    SCreditLine{0, A::Left, false, EStringId::CreditTrayerOnXvfb},
    SCreditLine{4, A::Center, true, EStringId::CreditTranslations},
    SCreditLine{2, A::Right, true, EStringId::CreditFrench},
    SCreditLine{0, A::Left, false, EStringId::CreditProject},
    SCreditLine{10, A::Center, true, EStringId::CreditThanks},
    SCreditLine{2, A::Center, false, EStringId::CreditReports},
    SCreditLine{1, A::Center, false, EStringId::CreditChanges},
    SCreditLine{10, A::Center, true, "Quavero"},
};

constexpr int kRowCount =
    std::accumulate(kCreditLines.begin(), kCreditLines.end(), 0,
                    [](int rows, const SCreditLine& line) { return rows + line.advance; });
static_assert(kCreditLines.size() == 49 && kRowCount == 71);

constexpr int kTickMilliseconds = 20;
// Distance of the role's right edge and of the name's left edge from the middle.
constexpr int kColumnGap = 10;
const QColor kTextColour(0x89, 0x73, 0xD9);

} // namespace

CCreditsScroller::CCreditsScroller(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CCreditsScroller::RowCount() {
    return kRowCount;
}

// The first row starts just below the bottom edge.
void CCreditsScroller::Start() {
    width_ = width();
    height_ = height();
    xCenter_ = width_ / 2;
    xRight_ = xCenter_ - kColumnGap;
    xLeft_ = xCenter_ + kColumnGap;
    offset_ = height_;
    timer_.start(kTickMilliseconds, this);
    firstPaint_ = false;
    bold_ = font();
    bold_.setWeight(QFont::DemiBold);
    lineHeight_ = QFontMetrics(bold_).height();
}

QStringList CCreditsScroller::Texts() {
    QStringList texts;
    for (const SCreditLine& line : kCreditLines)
        texts << line.Text();
    return texts;
}

void CCreditsScroller::paintEvent(QPaintEvent*) {
    if (firstPaint_)
        Start();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setPen(kTextColour);
    painter.setBackground(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    int row = 0;
    for (const SCreditLine& line : kCreditLines) {
        row += line.advance;
        const int y = offset_ + lineHeight_ * row;
        if (y <= 0 || y >= height_ - lineHeight_)
            continue;
        painter.setFont(line.bold ? bold_ : font());
        // Each line has the whole width on its side of its x; the panel's edges clip it.
        QRect box(xLeft_, y, width_, lineHeight_);
        int flags = Qt::AlignLeft;
        if (line.align == ECreditAlign::Right) {
            box.moveRight(xRight_);
            flags = Qt::AlignRight;
        } else if (line.align == ECreditAlign::Center) {
            box = QRect(xCenter_ - width_, y, 2 * width_, lineHeight_);
            flags = Qt::AlignHCenter;
        }
        painter.drawText(box, flags | Qt::AlignTop, line.Text());
    }
    if (offset_ + lineHeight_ * row < 0)
        offset_ = height_;
}

// Qt holds at most one pending event per timer, so a slow machine skips ticks rather than
// queueing them.
void CCreditsScroller::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    Tick();
}

void CCreditsScroller::Tick() {
    --offset_;
    update();
}
