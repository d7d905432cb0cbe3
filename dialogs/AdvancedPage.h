#pragma once

#include "dialogs/OptionPage.h"

#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

// "Advanced": the shell verbs that play and enqueue, the most rows the list shows, the cache
// files, the tray, how tracks are read and their tags written, and how the tree groups artists.
class CAdvancedPage : public COptionPage {
public:
    static constexpr int kMinRows = 1;
    static constexpr int kMaxRows = 1200;
    static constexpr int kMaxPollSeconds = 86400; // a day

    CAdvancedPage(const SOptionValues& values, QWidget* parent = nullptr);

    void Store(SOptionValues& values) const override;
    // The maximum must be a whole number from kMinRows to kMaxRows; the verbs may be anything,
    // even empty.
    QString Failure() const override;
    void FocusFailure() override;

private:
    QGroupBox* MakeCommands(const SOptionValues& values);
    QGroupBox* MakeMaximum(const SOptionValues& values);
    QGroupBox* MakeReading(const SOptionValues& values);
    QGroupBox* MakeArtistTree(const SOptionValues& values);

    QLineEdit* play_ = nullptr;
    QLineEdit* enqueue_ = nullptr;
    QLineEdit* maxRow_ = nullptr;
    QCheckBox* useCache_ = nullptr;
    QCheckBox* systray_ = nullptr;
    QComboBox* checkForChanges_ = nullptr;
    QSpinBox* pollSeconds_ = nullptr;
    QCheckBox* exactVbrTime_ = nullptr;
    QCheckBox* readId3v2_ = nullptr;
    QCheckBox* writeId3v2_ = nullptr;
    QCheckBox* groupByAlbumArtist_ = nullptr;
    QCheckBox* detectCompilations_ = nullptr;
    QLineEdit* ignoredArticles_ = nullptr;
    QCheckBox* treeCovers_ = nullptr;
    std::string originalPlay_;
    std::string originalEnqueue_;
    std::string originalArticles_;
};
