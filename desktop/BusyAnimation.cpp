#include "desktop/BusyAnimation.h"

#include <QPainter>

#include <algorithm>

namespace {
constexpr int kFrameMilliseconds = 80;
}

CBusyAnimation::CBusyAnimation(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(kFrameMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &CBusyAnimation::Advance);
}

bool CBusyAnimation::Open(const QList<QPixmap>& frames) {
    Stop();
    frames_ = frames;
    current_ = 0;
    update();
    return !frames_.isEmpty();
}

void CBusyAnimation::Play(int from, int to, int repeat) {
    if (frames_.isEmpty())
        return;
    from_ = Clamp(from);
    to_ = to < 0 ? FrameCount() - 1 : Clamp(to);
    repeatsLeft_ = repeat;
    current_ = from_;
    update();
    timer_.start();
}

void CBusyAnimation::Stop() {
    timer_.stop();
}

void CBusyAnimation::Seek(int frame) {
    current_ = Clamp(frame);
    update();
}

int CBusyAnimation::Clamp(int frame) const {
    return std::clamp(frame, 0, std::max(0, FrameCount() - 1));
}

void CBusyAnimation::Advance() {
    if (current_ < to_) {
        ++current_;
    } else if (repeatsLeft_ == kForever || --repeatsLeft_ > 0) {
        current_ = from_;
    } else {
        Stop();
    }
    update();
}

QSize CBusyAnimation::sizeHint() const {
    return frames_.isEmpty() ? QSize(32, 32) : frames_.front().deviceIndependentSize().toSize();
}

void CBusyAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!background_.isNull())
        painter.drawTiledPixmap(rect(), background_);
    if (frames_.isEmpty())
        return;
    // Sizes in the widget's own units: a high-density frame has twice the pixels.
    const QPixmap& frame = frames_[current_];
    const QSize size = frame.deviceIndependentSize().toSize();
    painter.drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2, frame);
}
