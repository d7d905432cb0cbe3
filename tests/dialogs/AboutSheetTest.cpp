// The about sheet through its command, and its credits drawn into an image.
#include "dialogs/AboutSheet.h"
#include "dialogs/CreditsScroller.h"
#include "frame/CommandTable.h"
#include "gui/AppFixture.h"
#include "support/ModalDriver.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

namespace {

// Stands in the desktop's place for "https" addresses while a test runs.
class CUrlRecorder : public QObject {
    Q_OBJECT
public:
    CUrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open"); }
    ~CUrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    QList<QUrl> opened;

public Q_SLOTS:
    void Open(const QUrl& url) { opened.append(url); }
};

bool RowIsBlack(const QImage& image, int y) {
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != qRgb(0, 0, 0))
            return false;
    return true;
}

using AboutSheet = CAppFixture;

} // namespace

TEST_F(AboutSheet, ShowsTheVersionOfTheBuildAndOpensTheWebPage) {
    Start();
    CUrlRecorder browser;
    QStringList buttons;
    QString version;
    auto watch = WhenModal<CAboutSheet>([&](CAboutSheet& sheet) {
        for (const QAbstractButton* button : sheet.findChild<QDialogButtonBox*>()->buttons())
            buttons.append(button->text());
        version = sheet.findChild<QLabel*>(QStringLiteral("versionLine"))->text();
        sheet.findChild<QPushButton*>(QStringLiteral("webPage"))->click();
        sheet.accept();
    });
    Frame().Commands().Action(ECommandId::About)->trigger();
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(version, QStringLiteral("Quavero - version " QUAVERO_VERSION));
    EXPECT_EQ(browser.opened, QList<QUrl>{QUrl(QStringLiteral("https://quavero.example/"))});
}

// Every frame from the first row's entry at the bottom to the restart: the top and bottom pixel
// rows stay black, so no row is ever drawn cut, and the credits start again at the bottom edge
// as soon as the last row has left at the top.
TEST_F(AboutSheet, CreditsRestartAfterTheLastRowAndNeverShowACutRow) {
    Start();
    CCreditsScroller credits;
    credits.resize(300, 120);
    QImage image(credits.size(), QImage::Format_RGB32);
    credits.render(&image);
    const int height = credits.height();
    ASSERT_EQ(credits.ScrollOffset(), height);
    const int lastRowGone = -credits.LineHeight() * CCreditsScroller::RowCount() - 1;
    int framesWithText = 0;
    for (int offset = height - 1; offset >= lastRowGone; --offset) {
        credits.Tick();
        ASSERT_EQ(credits.ScrollOffset(), offset);
        credits.render(&image);
        ASSERT_TRUE(RowIsBlack(image, 0) && RowIsBlack(image, height - 1)) << offset;
        framesWithText += image != QImage(image.size(), image.format()) ? 1 : 0;
    }
    EXPECT_EQ(credits.ScrollOffset(), height);
    EXPECT_GT(framesWithText, 0);
}

#include "AboutSheetTest.moc"
