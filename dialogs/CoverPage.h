#pragma once

#include "model/CoverSource.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

// The "Cover" page of the properties sheet: the cover in the tag of the one track the sheet
// shows, scaled to the page, with its size in pixels, its kind and its size in bytes; and the
// buttons that replace it by an image file (JPEG, PNG or WebP), save it as one, or remove it.
// With several tracks no cover is shown, and a replacement or a removal goes to each of them.
// What the user does is the edit, written with the other fields when the sheet is accepted.
class CCoverPage : public QWidget {
    Q_OBJECT

public:
    // An image larger than this is asked about before it is taken: every file gets a copy.
    static constexpr std::size_t kAskAbove = std::size_t{1024} * 1024;
    // The memory an image may take decoded, in megabytes, and the side of the square it is
    // shown in, in pixels.
    static constexpr int kDecodeLimitMb = 64;
    static constexpr int kSide = 160;

    explicit CCoverPage(QWidget* parent = nullptr);

    // The cover of the track at `path`, read from its tag.
    void Fill(const std::string& path);
    // The page stands for several tracks, and shows no cover.
    void FillSeveral();
    // The new cover, empty for none; nothing when the user left the cover as it was.
    const std::optional<std::vector<std::uint8_t>>& Edit() const { return edit_; }

    // What the buttons do once a file is chosen; false when nothing was done (the user was
    // told why, or said no).
    bool Replace(const QString& file);
    bool SaveAs(const QString& file);
    void Remove();

private:
    void Show();
    void ChooseReplacement();
    void ChooseSaveAs();
    void Tell(const QString& text);

    QLabel* picture_;
    QLabel* info_;
    QPushButton* replace_;
    QPushButton* saveAs_;
    QPushButton* remove_;
    QString folder_; // where the choosers start
    bool several_ = false;
    std::vector<std::uint8_t> shown_;
    std::optional<std::vector<std::uint8_t>> edit_;
};
