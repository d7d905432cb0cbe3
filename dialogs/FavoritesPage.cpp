#include "dialogs/FavoritesPage.h"

#include "dialogs/OptionValues.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr char kHelp[] = "Type in paths of your preferred directories. All path should be "
                         "separated by a semi colon as shown below  :";
// Two local directories and a network share mounted by the automounter.
constexpr char kExample[] = "/home/me/Music;/media/usb/Albums;/net/server/music";
constexpr char kUse[] = "To use this special address, type * in the address bar.";
constexpr int kExampleIndent = 20;

// The example stays on one line, as a path would be typed.
QLabel* Text(const char* text, int indent = 0) {
    auto* label = new QLabel(QString::fromUtf8(text));
    label->setWordWrap(indent == 0);
    label->setIndent(indent);
    return label;
}

} // namespace

CFavoritesPage::CFavoritesPage(const SOptionValues& values, QWidget* parent)
    : COptionPage(parent), addresses_(new QLineEdit(Shown(values.favoriteAddresses))),
      original_(values.favoriteAddresses) {
    addresses_->setObjectName(QStringLiteral("favoriteAddresses"));
    auto* group = new QGroupBox(QStringLiteral("My favorites addresses"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(addresses_);
    groupLayout->addWidget(Text(kHelp));
    groupLayout->addWidget(Text(kExample, kExampleIndent));
    groupLayout->addSpacing(fontMetrics().height());
    groupLayout->addWidget(Text(kUse));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
}

void CFavoritesPage::Store(SOptionValues& values) const {
    values.favoriteAddresses = Typed(addresses_->text(), original_);
}
