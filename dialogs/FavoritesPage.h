#pragma once

#include "dialogs/OptionPage.h"

#include <string>

class QLineEdit;

// "Favorite Addresses": the directories that the address "*" stands for, separated by ";".
// Whatever is typed is stored as it stands.
class CFavoritesPage : public COptionPage {
public:
    CFavoritesPage(const SOptionValues& values, QWidget* parent = nullptr);

    void Store(SOptionValues& values) const override;

private:
    QLineEdit* addresses_;
    std::string original_;
};
