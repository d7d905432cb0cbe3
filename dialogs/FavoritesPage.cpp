#include "dialogs/FavoritesPage.h"

#include "desktop/FrameStrings.h"
#include "dialogs/OptionValues.h"
#include "platform/StringIds.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// Two local directories and a network share mounted by the automounter.
constexpr char kExample[] = "/home/me/Music;/media/usb/Albums;/net/server/music";
constexpr int kExampleIndent = 20;

// The example stays on one line, as a path would be typed.
QLabel* Text(const QString& text, int indent = 0) {
    auto* label = new QLabel(text);
    label->setWordWrap(indent == 0);
    label->setIndent(indent);
    return label;
}

} // namespace

CFavoritesPage::CFavoritesPage(const SOptionValues& values, QWidget* parent)
    : COptionPage(parent), addresses_(new QLineEdit(Shown(values.favoriteAddresses))),
      original_(values.favoriteAddresses) {
    addresses_->setObjectName(QStringLiteral("favoriteAddresses"));
    auto* group = new QGroupBox(CFrameStrings::Get(EStringId::OptFavorites));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(addresses_);
    groupLayout->addWidget(Text(CFrameStrings::Get(EStringId::OptFavoritesHelp)));
    groupLayout->addWidget(Text(QString::fromUtf8(kExample), kExampleIndent));
    groupLayout->addSpacing(fontMetrics().height());
    groupLayout->addWidget(Text(CFrameStrings::Get(EStringId::OptFavoritesUse)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
}

void CFavoritesPage::Store(SOptionValues& values) const {
    values.favoriteAddresses = Typed(addresses_->text(), original_);
}
