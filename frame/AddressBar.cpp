#include "frame/AddressBar.h"

#include "catalog/Address.h"
#include "desktop/TextCodec.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

constexpr int kImageRole = Qt::UserRole;
// Shorter texts name a drive; this is where a folder path starts.
constexpr int kShortestFolder = 4;
constexpr int kWidth = 200;

QString FavoritesLabel() {
    return CTextCodec::ToQString(CStringTable::Get(EStringId::Favorites));
}

} // namespace

CAddressBar::CAddressBar(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMinimumWidth(kWidth);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setIconSize(QSize(ResourceId::kSmallImageSize, ResourceId::kSmallImageSize));
    connect(this, &QComboBox::activated, this,
            [this](int index) { Q_EMIT AddressChosen(itemText(index)); });
}

void CAddressBar::AddAddressEntry(QString text) {
    const QString favorites = FavoritesLabel();
    int image = ResourceId::kImageFolder;
    if (text.size() < kShortestFolder || text == favorites) {
        if (text == QLatin1String(CAddress::kFavorites) || text == favorites) {
            text = favorites;
            image = ResourceId::kImageFavorites;
        } else {
            if (!text.endsWith(QLatin1Char('/')))
                text += QLatin1Char('/');
            image = ResourceId::kImageDrive;
        }
    }
    int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        insertItem(0, CResources::SmallIcon(image), text, image);
        index = 0;
    }
    setCurrentIndex(index);
}

void CAddressBar::Fill(const std::vector<std::string>& saved, const std::string& startAddress) {
    for (auto it = saved.rbegin(); it != saved.rend(); ++it)
        if (!it->empty())
            AddAddressEntry(CTextCodec::ToQString(*it));
    AddAddressEntry(CTextCodec::ToQString(startAddress));
}

QStringList CAddressBar::Entries() const {
    QStringList entries;
    for (int i = 0; i < count(); ++i)
        entries.append(itemText(i));
    return entries;
}

int CAddressBar::EntryImage(int index) const {
    return itemData(index, kImageRole).toInt();
}

// Enter opens the typed text; the list is left to the frame, which adds the text only when it
// opened.
void CAddressBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT AddressEntered(currentText());
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}
