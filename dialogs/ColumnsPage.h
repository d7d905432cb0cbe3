#pragma once

#include "dialogs/OptionPage.h"
#include "dialogs/OptionValues.h"

class QCheckBox;
class QListWidget;
class QRadioButton;

// "Columns": the track list's columns in their order, each with its check mark when it is
// displayed (its label in parentheses in the list's strings when it is not), moved up and down
// one place at a time, and aligned left, centre or right. Every action works on the selected
// entry and does nothing without one.
class CColumnsPage : public COptionPage {
public:
    CColumnsPage(const SOptionValues& values, QWidget* parent = nullptr);

    void Store(SOptionValues& values) const override;

private:
    QWidget* MakeControls();
    // Places the column below every entry of a lower or equal order; returns its row.
    int Insert(std::size_t column);
    // Takes the row's entry out and puts its column in again where its order now says.
    void Reinsert(int row);
    CColumnInfo* SelectedColumn();
    void ShowSelected();
    void SetAlignment(EColumnAlign alignment);
    void ToggleDisplayed();
    void ApplyDisplayed();
    void Move(int step);

    SOptionValues::ColumnArray columns_;
    QListWidget* list_;
    QCheckBox* displayed_ = nullptr;
    QRadioButton* left_ = nullptr;
    QRadioButton* center_ = nullptr;
    QRadioButton* right_ = nullptr;
};
