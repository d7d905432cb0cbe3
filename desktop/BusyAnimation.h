#pragma once

#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

// A small animation played from a strip of frames: the window's sign that it is busy. It runs
// on a timer, so it moves whenever the event loop (or a caller's processEvents) runs.
class CBusyAnimation : public QWidget {
    Q_OBJECT
public:
    static constexpr int kForever = -1;

    explicit CBusyAnimation(QWidget* parent = nullptr);

    // Takes the frames to play; false when there are none. Shows frame 0.
    bool Open(const QList<QPixmap>& frames);
    // Plays frames `from` to `to` (-1: the last), `repeat` times or kForever.
    void Play(int from, int to, int repeat);
    void Stop();
    void Seek(int frame);
    void SetBackground(const QPixmap& tile) { background_ = tile; }

    bool IsPlaying() const { return timer_.isActive(); }
    int CurrentFrame() const { return current_; }
    int FrameCount() const { return static_cast<int>(frames_.size()); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Advance();
    int Clamp(int frame) const;

    QList<QPixmap> frames_;
    QPixmap background_;
    QTimer timer_;
    int current_ = 0;
    int from_ = 0;
    int to_ = 0;
    int repeatsLeft_ = 0;
};
