#pragma once

#include <QBasicTimer>
#include <QFont>
#include <QStringList>
#include <QWidget>

// The credit lines moving up through a black panel, one pixel every 20 ms from the first paint
// on. A row is drawn only while it lies wholly inside the panel; once the last row has left at
// the top, the credits start again from the bottom edge.
class CCreditsScroller : public QWidget {
public:
    explicit CCreditsScroller(QWidget* parent = nullptr);

    // One step of the timer: everything moves up a pixel.
    void Tick();
    // Where row 0 stands, in pixels from the top; below 0 once it has left.
    int ScrollOffset() const { return offset_; }
    int LineHeight() const { return lineHeight_; }
    // The row of the last line.
    static int RowCount();
    // The lines' texts, top to bottom, in the program's language.
    static QStringList Texts();

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void Start();

    QFont bold_;
    int lineHeight_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool firstPaint_ = true;
    int xLeft_ = 0;
    int xRight_ = 0;
    int xCenter_ = 0;
    int offset_ = 0;
    QBasicTimer timer_;
};
