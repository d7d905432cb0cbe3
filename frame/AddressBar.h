#pragma once

#include <QComboBox>
#include <QStringList>

#include <string>
#include <vector>

// The address box: an edit field for typing an address and a list of the addresses used, each
// with the icon of its kind (drive, folder, favourites). The newest entry stands at the top.
// An entry keeps the address's bytes beside the text it shows, so that a folder whose name is
// not UTF-8 opens, and is saved, as the folder it is. A path being typed is completed with the
// names of the folders it may go on to. Moving through the list only shows an entry; Enter or
// a click on it in the list opens it, and Esc or leaving the box shows the open address again.
class CAddressBar : public QComboBox {
    Q_OBJECT
public:
    explicit CAddressBar(QWidget* parent = nullptr);

    // Puts the address in the list unless it is there already (the same bytes), and selects it.
    void AddAddress(std::string address);
    // The same for a text as shown or typed (AddressOf).
    void AddAddressEntry(const QString& text);
    // The saved entries (the first one at the top), then the start-up address, selected.
    void Fill(const std::vector<std::string>& saved, const std::string& startAddress);
    // The address a text stands for: that of the entry showing it (the current one first), else
    // the text as a file name.
    std::string AddressOf(const QString& text) const;
    QStringList Entries() const;
    std::vector<std::string> Addresses() const;
    // The small image of entry `index`.
    int EntryImage(int index) const;

Q_SIGNALS:
    // Enter in the edit field, with the address of the text as typed or stepped to.
    void AddressEntered(const std::string& address);
    // An entry was taken from the opened list.
    void AddressChosen(const std::string& address);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Shows the entry of the address last opened, after steps through the list or Esc.
    void ShowOpened();
    void StepThroughList(int step);
    void CloseCompletion();
    std::string EntryAddress(int index) const;

    std::string opened_;
};
