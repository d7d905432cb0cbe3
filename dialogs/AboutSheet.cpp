#include "dialogs/AboutSheet.h"

#include "desktop/FrameStrings.h"
#include "dialogs/CreditsScroller.h"
#include "dialogs/LinkButton.h"
#include "platform/StringIds.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kCreditsWidth = 380;
constexpr int kCreditsHeight = 140;

QLabel* Centred(const QString& text) {
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

} // namespace

CAboutSheet::CAboutSheet(QWidget* parent) : QDialog(parent), tabs_(new QTabWidget(this)) {
    setWindowTitle(CFrameStrings::Get(EStringId::AboutCaption));
    tabs_->setObjectName(QStringLiteral("aboutTabs"));
    tabs_->addTab(MakeProductPage(), CFrameStrings::Get(EStringId::AppTitle));
    tabs_->addTab(MakeCreditsPage(), CFrameStrings::Get(EStringId::AboutCreditsTab));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

QString CAboutSheet::VersionLine() {
    return CFrameStrings::Get(EStringId::AppTitle) + QStringLiteral(" - version ") +
           QStringLiteral(QUAVERO_VERSION);
}

QWidget* CAboutSheet::MakeProductPage() {
    auto* page = new QWidget;
    auto* picture = new QLabel;
    picture->setPixmap(CResources::Image(ResourceId::kAboutPath));
    picture->setFixedSize(ResourceId::kAboutSize, ResourceId::kAboutSize);
    auto* texts = new QVBoxLayout;
    QLabel* version = Centred(VersionLine());
    version->setObjectName(QStringLiteral("versionLine"));
    texts->addWidget(version);
    texts->addWidget(Centred(CFrameStrings::Get(EStringId::AboutSecondLine)));
    texts->addWidget(Centred(CFrameStrings::Get(EStringId::AboutSupportLine)));
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* link = new CLinkButton(QString::fromUtf8(kWebPage));
    link->setObjectName(QStringLiteral("webPage"));
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addStretch();
    layout->addWidget(link);
    return page;
}

QWidget* CAboutSheet::MakeCreditsPage() {
    auto* page = new QWidget;
    auto* credits = new CCreditsScroller;
    credits->setObjectName(QStringLiteral("credits"));
    credits->setMinimumSize(kCreditsWidth, kCreditsHeight);
    (new QVBoxLayout(page))->addWidget(credits);
    return page;
}
