#pragma once

#include "dialogs/OptionValues.h"

#include <QDialog>

#include <vector>

class COptionPage;
class QTabWidget;

// The options: four tabs ("Rows", "Columns", "Favorite Addresses", "Advanced") over copies of
// the settings, with OK and Cancel. A page that cannot be left as it stands keeps the sheet on
// it, with a message, whether the user turns to another tab or presses OK.
class COptionSheet : public QDialog {
    Q_OBJECT
public:
    explicit COptionSheet(SOptionValues values, QWidget* parent = nullptr);

    // What the user confirmed: the values given, changed by the pages that were opened.
    const SOptionValues& Values() const { return values_; }
    QTabWidget& Tabs() const { return *tabs_; }

    void accept() override;

private:
    void OnTabChanged(int index);
    // Tells the user why the page cannot be left and puts the focus in the field at fault.
    void Refuse(COptionPage& page, const QString& failure);

    SOptionValues values_;
    QTabWidget* tabs_;
    std::vector<COptionPage*> pages_;
    std::vector<bool> opened_;
    int shown_ = 0;
};
