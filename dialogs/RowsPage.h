#pragma once

#include "dialogs/OptionPage.h"

class QCheckBox;
class QRadioButton;

// "Rows": what Enter and a double-click on a track do, and full-row selection.
class CRowsPage : public COptionPage {
public:
    CRowsPage(const SOptionValues& values, QWidget* parent = nullptr);

    // A stored action that none of the buttons stands for stays as it was when none is checked.
    void Store(SOptionValues& values) const override;

private:
    QCheckBox* fullRowSelection_;
    QRadioButton* play_;
    QRadioButton* enqueue_;
    QRadioButton* properties_;
};
