#include "views/FullRowDelegate.h"

#include "ListFixture.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>

#include <gtest/gtest.h>

namespace {

QFont KnownFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    return font;
}

const QString kDots = QStringLiteral("...");

// The shortened text's head fits with the dots, and one more character would not.
void ExpectLongestHead(const QFontMetrics& metrics, const QString& text, int width) {
    const QString shown = CFullRowDelegate::ShortenText(metrics, text, width);
    ASSERT_TRUE(shown.endsWith(kDots)) << shown.toStdString();
    const QString head = shown.chopped(3);
    ASSERT_TRUE(text.startsWith(head));
    ASSERT_LT(head.size(), text.size());
    const int dots = metrics.horizontalAdvance(kDots);
    if (head.size() > 1) {
        EXPECT_LE(metrics.horizontalAdvance(head) + dots, width);
    }
    if (head.size() + 1 < text.size()) {
        EXPECT_GT(metrics.horizontalAdvance(text.left(head.size() + 1)) + dots, width);
    }
}

// Leftmost and rightmost x in `box` holding a pixel other than `background`, or -1.
std::pair<int, int> InkSpan(const QImage& image, const QRect& box, QRgb background) {
    int left = -1;
    int right = -1;
    for (int x = box.left(); x <= box.right(); ++x) {
        for (int y = box.top(); y <= box.bottom(); ++y) {
            if (image.pixel(x, y) != background) {
                left = left < 0 ? x : left;
                right = x;
                break;
            }
        }
    }
    return {left, right};
}

} // namespace

TEST(FullRowDelegate, ShortensTextsThatDoNotFit) {
    const QFont font = KnownFont();
    EXPECT_EQ(QFontInfo(font).pixelSize(), 13);
    const QFontMetrics metrics(font);
    const QString text = QStringLiteral("Wandering Star");
    const int full = metrics.horizontalAdvance(text);

    EXPECT_EQ(CFullRowDelegate::ShortenText(metrics, QString(), 0), QString());
    EXPECT_EQ(CFullRowDelegate::ShortenText(metrics, QString(), -10), QString());
    EXPECT_EQ(CFullRowDelegate::ShortenText(metrics, text, full), text);
    EXPECT_EQ(CFullRowDelegate::ShortenText(metrics, text, full + 40), text);
    for (int width : {full - 1, full / 2, metrics.horizontalAdvance(kDots) + 20})
        ExpectLongestHead(metrics, text, width);
    EXPECT_EQ(CFullRowDelegate::ShortenText(metrics, text, 0), QStringLiteral("W..."))
        << "the first character stays even when nothing fits";

    const QString one = QStringLiteral("M");
    EXPECT_EQ(CFullRowDelegate::ShortenText(metrics, one, metrics.horizontalAdvance(one)), one);
    EXPECT_EQ(CFullRowDelegate::ShortenText(metrics, one, metrics.horizontalAdvance(one) - 1),
              QStringLiteral("M..."));

    // A character outside the basic plane is never cut in half.
    const QString clef = QString::fromUtf8("\U0001D11E\U0001D11E\U0001D11E");
    const QString cut = CFullRowDelegate::ShortenText(metrics, clef, 1);
    EXPECT_EQ(cut, clef.left(2) + kDots);
}

TEST(FullRowDelegate, HighlightsTheWholeRowToTheEdgeOnlyWithFullRowSelection) {
    SListFixture f({{"a.mp3", "One", "X", 2000}, {"b.mp3", "Two", "X", 2000}});
    ASSERT_TRUE(f.exposed);
    f.list.SetAlwaysShowSelection(true);
    f.SelectRow(1);
    const int edge = f.list.DetailsView()->viewport()->width() - 2;
    const int firstCell = f.Cell(1, 0).right() - 1;
    const int secondCell = f.Cell(1, 1).right() - 1;
    ASSERT_GT(edge, secondCell + 100);

    EXPECT_TRUE(f.list.FullRowSelection());
    QImage on = f.Picture();
    const QRgb plain = on.pixel(edge, f.RowY(0));
    const QRgb lit = on.pixel(firstCell, f.RowY(1));
    EXPECT_NE(lit, plain);
    EXPECT_EQ(on.pixel(secondCell, f.RowY(1)), lit);
    EXPECT_EQ(on.pixel(edge, f.RowY(1)), lit) << "highlight reaches the window's edge";

    EXPECT_TRUE(f.list.SetFullRowSelection(false));
    EXPECT_FALSE(f.list.SetFullRowSelection(false));
    QImage off = f.Picture();
    EXPECT_EQ(off.pixel(firstCell, f.RowY(1)), lit) << "the first cell stays highlighted";
    EXPECT_EQ(off.pixel(secondCell, f.RowY(1)), off.pixel(secondCell, f.RowY(0)));
    EXPECT_EQ(off.pixel(edge, f.RowY(1)), plain);

    EXPECT_TRUE(f.list.SetFullRowSelection(true));
    EXPECT_EQ(f.Picture().pixel(edge, f.RowY(1)), lit);
}

TEST(FullRowDelegate, SelectionShowsOnlyWithFocusUnlessAlwaysShown) {
    SListFixture f(
        {{"a.mp3", "One", "X", 2000}, {"b.mp3", "Two", "X", 2000}, {"c.mp3", "Three", "X", 2000}});
    ASSERT_TRUE(f.exposed);
    f.SelectRow(1);
    f.list.SelectionModel()->setCurrentIndex(f.model.index(2, 0), QItemSelectionModel::NoUpdate);
    const int x = f.Cell(1, 1).right() - 1;
    const int edge = f.list.DetailsView()->viewport()->width() - 1;
    QImage unfocused = f.Picture();
    const QRgb plain = unfocused.pixel(x, f.RowY(0));
    EXPECT_EQ(unfocused.pixel(x, f.RowY(1)), plain);
    for (int column = edge - 2; column <= edge; ++column)
        EXPECT_EQ(unfocused.pixel(column, f.RowY(2)), unfocused.pixel(column, f.RowY(0)));

    f.list.SetAlwaysShowSelection(true);
    EXPECT_NE(f.Picture().pixel(x, f.RowY(1)), plain);

    f.list.SetAlwaysShowSelection(false);
    f.list.activateWindow();
    f.list.DetailsView()->setFocus();
    if (!QTest::qWaitForWindowActive(&f.list) || !f.list.DetailsView()->hasFocus())
        GTEST_SKIP() << "this platform gives no keyboard focus";
    QImage focused = f.Picture();
    EXPECT_EQ(focused.pixel(x, f.RowY(0)), plain);
    EXPECT_NE(focused.pixel(x, f.RowY(1)), plain);
    // The focused row's dotted frame runs along the whole row, up to the window's edge.
    const int rowHeight = f.Cell(2, 0).height();
    bool framed = false;
    for (int column = edge - 2; column <= edge; ++column) {
        for (int dy = -rowHeight / 2 + 1; dy < rowHeight / 2; ++dy)
            framed = framed ||
                     focused.pixel(column, f.RowY(2) + dy) != focused.pixel(column, f.RowY(0) + dy);
    }
    EXPECT_TRUE(framed);
}

TEST(FullRowDelegate, CellTextsAlignInsetAndShorten) {
    SListFixture f({{"a.mp3", "A", "X", 2000},
                    {"b.mp3", "A title much too wide for the column", "X", 2000},
                    {"c.mp3", "", "X", 2000}});
    ASSERT_TRUE(f.exposed);
    f.model.SetColumnAlignments({Qt::AlignLeft, Qt::AlignRight});
    const QImage picture = f.Picture();
    const auto cellOf = [&f](int row) { return f.Cell(row, 1); };
    const QRgb background = picture.pixel(cellOf(0).right(), f.RowY(0));

    const auto [fitLeft, fitRight] = InkSpan(picture, cellOf(0), background);
    EXPECT_GT(fitLeft, cellOf(0).center().x()) << "a text that fits keeps its right alignment";
    EXPECT_LE(fitRight, cellOf(0).right() - CFullRowDelegate::kColumnInset + 1);

    const auto [cutLeft, cutRight] = InkSpan(picture, cellOf(1), background);
    const int textLeft = cellOf(1).left() + CFullRowDelegate::kColumnInset;
    EXPECT_GE(cutLeft, textLeft - 1) << "a shortened text starts at the left inset";
    EXPECT_LE(cutLeft, textLeft + 3);
    EXPECT_LE(cutRight, cellOf(1).right() - CFullRowDelegate::kColumnInset + 1);

    EXPECT_EQ(InkSpan(picture, cellOf(2), background).first, -1) << "an empty cell is blank";

    const QRect first = f.Cell(0, 0);
    const int firstLeft = InkSpan(picture, first, background).first;
    EXPECT_GE(firstLeft, first.left() + CFullRowDelegate::kFirstColumnInset - 1);
    EXPECT_LE(firstLeft, first.left() + CFullRowDelegate::kFirstColumnInset + 3);
}
