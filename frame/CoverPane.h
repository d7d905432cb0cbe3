#pragma once

#include "desktop/CoverLoader.h"

#include <QLabel>
#include <QPointer>

#include <optional>

class CCoverWindow;
class CLeftView;
class CQuavView;

// Below the tree: the cover of the selected track, else that of the tree's selected node (its
// first track's, which for an album is the album's); nothing at all when there is none. A
// click opens the picture at its own size. It holds no track, only where the cover lies, so a
// rebuild of the catalog leaves it nothing to let go of.
class CCoverPane : public QLabel {
    Q_OBJECT
public:
    static constexpr int kMaxSide = 256;

    CCoverPane(CCoverLoader& loader, CCoverLoader::Lookup lookup, QWidget* parent = nullptr);
    ~CCoverPane() override;

    // Shows the covers of what the tree and the list select, from the next turn of the event
    // loop after a change (a burst of changes is looked at once).
    void Follow(CLeftView& tree, CQuavView& list);
    // On or off (View > Cover); off, it neither shows nor loads anything.
    void SetEnabled(bool on);
    bool IsOn() const { return on_; }
    // The cover shown, or asked for; nullopt when there is none.
    const std::optional<SCoverSource>& Source() const { return source_; }
    bool IsLoading() const { return ticket_ != 0; }
    CCoverWindow* FullWindow() const;
    // Looks at the selection now.
    void Update();

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowSource(std::optional<SCoverSource> source);
    void ShowImage(const QImage& image);
    QSize Side() const;
    // The side of the square the pane takes: its width, at most kMaxSide, and at most a share of
    // the column it shares with the tree, which keeps the rest.
    int SideFor(int width) const;
    void Fit();
    void Schedule();

    CCoverLoader& loader_;
    CCoverLoader::Lookup lookup_;
    CLeftView* tree_ = nullptr;
    CQuavView* list_ = nullptr;
    std::optional<SCoverSource> source_;
    QImage image_;
    CCoverLoader::Ticket ticket_ = 0;
    QPointer<CCoverWindow> window_;
    bool on_ = true;
    bool scheduled_ = false;
};
