#pragma once

#include <QComboBox>
#include <QStringList>

#include <string>
#include <vector>

// The address box: an edit field for typing an address and a list of the addresses used, each
// with the icon of its kind (drive, folder, favourites). The newest entry stands at the top.
class CAddressBar : public QComboBox {
    Q_OBJECT
public:
    explicit CAddressBar(QWidget* parent = nullptr);

    // Puts `text` in the list unless it is there already, and selects it.
    void AddAddressEntry(QString text);
    // The saved entries (the first one at the top), then the start-up address, selected.
    void Fill(const std::vector<std::string>& saved, const std::string& startAddress);
    QStringList Entries() const;
    // The small image of entry `index`.
    int EntryImage(int index) const;

Q_SIGNALS:
    // Enter in the edit field, with the text as typed.
    void AddressEntered(const QString& text);
    // An entry of the list was accepted.
    void AddressChosen(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
