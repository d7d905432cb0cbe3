#pragma once

#include "desktop/CoverLoader.h"

#include <QScrollArea>

class QLabel;

// One cover at its own size (at most CCoverLoader::kFullSide), in a window of its own that
// deletes itself when closed. The picture is decoded on the loader's workers; until it comes
// the window shows the thumbnail it was opened from.
class CCoverWindow : public QScrollArea {
    Q_OBJECT
public:
    CCoverWindow(CCoverLoader& loader, const SCoverSource& source, const QImage& preview,
                 QWidget* parent = nullptr);
    ~CCoverWindow() override;

    bool IsLoading() const { return ticket_ != 0; }
    QSize PictureSize() const;

private:
    void Show(const QImage& image);

    CCoverLoader& loader_;
    QLabel* picture_;
    CCoverLoader::Ticket ticket_ = 0;
};
