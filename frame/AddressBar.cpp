#include "frame/AddressBar.h"

#include "catalog/Address.h"
#include "desktop/TextCodec.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFile>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kImageRole = Qt::UserRole;
constexpr int kAddressRole = Qt::UserRole + 1;
// Shorter addresses name a drive; this is where a folder path starts.
constexpr std::size_t kShortestFolder = 4;
constexpr int kWidth = 200;

QByteArray Bytes(const std::string& address) {
    return {address.data(), static_cast<qsizetype>(address.size())};
}

} // namespace

CAddressBar::CAddressBar(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Typing a path offers the folders it may go on to; files are no addresses.
    auto* completer = new QCompleter(this);
    auto* folders = new QFileSystemModel(completer);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders->setRootPath(QString());
    completer->setModel(folders);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    completer->setObjectName(QStringLiteral("folderCompleter"));
    setCompleter(completer);
    // The model lists a folder only once asked for it, level by level; a path pasted or typed
    // fast would find nothing. Asking for the folder being typed in loads every level above.
    connect(this, &QComboBox::editTextChanged, folders, [folders](const QString& text) {
        const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
        if (slash >= 0)
            folders->index(slash == 0 ? QStringLiteral("/") : text.left(slash));
    });
    setMinimumWidth(kWidth);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setIconSize(QSize(ResourceId::kSmallImageSize, ResourceId::kSmallImageSize));
    connect(this, &QComboBox::activated, this, [this](int index) {
        opened_ = EntryAddress(index);
        Q_EMIT AddressChosen(opened_);
    });
}

void CAddressBar::AddAddress(std::string address) {
    // No address (a first start whose folder choice was cancelled) is no entry: it would read
    // as the root folder.
    if (address.empty())
        return;
    const std::string favorites(CStringTable::Get(EStringId::Favorites));
    int image = ResourceId::kImageFolder;
    if (address.size() < kShortestFolder || address == favorites) {
        if (address == CAddress::kFavorites || address == favorites) {
            address = favorites;
            image = ResourceId::kImageFavorites;
        } else {
            if (!address.ends_with('/'))
                address += '/';
            image = ResourceId::kImageDrive;
        }
    }
    int index = findData(Bytes(address), kAddressRole);
    if (index < 0) {
        insertItem(0, CResources::SmallIcon(image), CTextCodec::ToQString(address), image);
        setItemData(0, Bytes(address), kAddressRole);
        index = 0;
    }
    setCurrentIndex(index);
    opened_ = std::move(address);
}

void CAddressBar::ShowOpened() {
    const int index = findData(Bytes(opened_), kAddressRole);
    if (index >= 0)
        setCurrentIndex(index);
}

void CAddressBar::AddAddressEntry(const QString& text) {
    AddAddress(AddressOf(text));
}

void CAddressBar::Fill(const std::vector<std::string>& saved, const std::string& startAddress) {
    for (auto it = saved.rbegin(); it != saved.rend(); ++it)
        if (!it->empty())
            AddAddress(*it);
    AddAddress(startAddress);
}

// A typed text matches what an entry shows; bytes that are not UTF-8 cannot be typed otherwise.
std::string CAddressBar::AddressOf(const QString& text) const {
    int index = currentIndex();
    if (index < 0 || itemText(index) != text)
        index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        return EntryAddress(index);
    return QFile::encodeName(text).toStdString();
}

std::string CAddressBar::EntryAddress(int index) const {
    return itemData(index, kAddressRole).toByteArray().toStdString();
}

QStringList CAddressBar::Entries() const {
    QStringList entries;
    for (int i = 0; i < count(); ++i)
        entries.append(itemText(i));
    return entries;
}

std::vector<std::string> CAddressBar::Addresses() const {
    std::vector<std::string> addresses;
    addresses.reserve(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i)
        addresses.push_back(EntryAddress(i));
    return addresses;
}

int CAddressBar::EntryImage(int index) const {
    return itemData(index, kImageRole).toInt();
}

// Enter opens the typed text; the list is left to the frame, which adds the address only when
// it opened. The arrows and the page keys move through the list without opening: on a large
// folder every entry passed on the way would be a walk. (Alt+Down opens the list, Ctrl with an
// arrow is the edit field's.)
void CAddressBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        CloseCompletion();
        Q_EMIT AddressEntered(AddressOf(currentText()));
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CloseCompletion();
        ShowOpened();
        lineEdit()->selectAll();
        event->accept();
        return;
    }
    if (!(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_PageUp:
            StepThroughList(-1);
            event->accept();
            return;
        case Qt::Key_Down:
        case Qt::Key_PageDown:
            StepThroughList(1);
            event->accept();
            return;
        default:
            break;
        }
    }
    QComboBox::keyPressEvent(event);
}

// An entry stepped to and left unopened gives way to the address the window shows; a text the
// user typed stays to be finished. (The list opening takes the focus only for a while.)
void CAddressBar::focusOutEvent(QFocusEvent* event) {
    const int index = currentIndex();
    if (event->reason() != Qt::PopupFocusReason && index >= 0 && currentText() == itemText(index) &&
        EntryAddress(index) != opened_)
        ShowOpened();
    QComboBox::focusOutEvent(event);
}

// The wheel moves through the list as the arrows do.
void CAddressBar::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta != 0)
        StepThroughList(delta > 0 ? -1 : 1);
    event->accept();
}

// The entry is shown selected, so that Enter opens it and typing replaces it.
void CAddressBar::StepThroughList(int step) {
    if (count() == 0)
        return;
    const int index = std::clamp(currentIndex() + step, 0, count() - 1);
    setCurrentIndex(index);
    lineEdit()->selectAll();
}

// The completion list closes with the address it helped to type. The folders' model keeps
// loading after Enter and would open the list again over the window, where it takes the next
// click; without a prefix the loaded folders complete nothing.
void CAddressBar::CloseCompletion() {
    QCompleter* folders = completer();
    if (folders == nullptr)
        return;
    folders->popup()->hide();
    folders->setCompletionPrefix(QString());
}
