#include "frame/Images.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <array>
#include <cmath>

namespace {

constexpr char kSmallImagesPath[] = ":/images/small-images.png";
constexpr char kToolbarPath[] = ":/images/toolbar.png";
constexpr char kToolbarHotPath[] = ":/images/toolbar-hot.png";
constexpr char kBusyPath[] = ":/images/busy.png";
constexpr char kBandPath[] = ":/images/band.png";
constexpr char kAppIconPath[] = ":/images/app-32.png";
constexpr int kBusyFrameSize = 32;
constexpr int kBusyFrameCount = 12;

constexpr std::array kSmallStandIns{
    QStyle::SP_FileIcon,        QStyle::SP_DriveHDIcon,        QStyle::SP_DirIcon,
    QStyle::SP_DirLinkIcon,     QStyle::SP_FileDialogInfoView, QStyle::SP_DriveCDIcon,
    QStyle::SP_DialogYesButton,
};

constexpr std::array kToolStandIns{
    QStyle::SP_MediaPlay,          QStyle::SP_MediaSkipForward,
    QStyle::SP_FileLinkIcon,       QStyle::SP_FileDialogInfoView,
    QStyle::SP_DirHomeIcon,        QStyle::SP_DirIcon,
    QStyle::SP_DriveCDIcon,        QStyle::SP_TitleBarMaxButton,
    QStyle::SP_DesktopIcon,        QStyle::SP_FileDialogContentsView,
    QStyle::SP_FileDialogListView, QStyle::SP_FileDialogDetailedView,
};

QIcon StandardIcon(QStyle::StandardPixmap which) {
    return QApplication::style()->standardIcon(which);
}

// A ring of twelve dots, one of them lit, turning one step per frame.
QPixmap DrawnBusyFrame(int frame) {
    QPixmap pixmap(kBusyFrameSize, kBusyFrameSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double centre = kBusyFrameSize / 2.0;
    for (int dot = 0; dot < kBusyFrameCount; ++dot) {
        const double angle = dot * 2 * M_PI / kBusyFrameCount;
        const int age = (frame - dot + kBusyFrameCount) % kBusyFrameCount;
        painter.setBrush(QColor(40, 70, 140, age == 0 ? 255 : std::max(40, 200 - age * 30)));
        painter.drawEllipse(QPointF(centre + 11 * std::sin(angle), centre - 11 * std::cos(angle)),
                            2.5, 2.5);
    }
    return pixmap;
}

} // namespace

QPixmap CImages::Resource(const char* path) {
    return QPixmap(QString::fromLatin1(path));
}

QList<QPixmap> CImages::Strip(const char* path, int size) {
    const QPixmap strip = Resource(path);
    QList<QPixmap> images;
    for (int x = 0; x + size <= strip.width(); x += size)
        images.append(strip.copy(x, 0, size, size));
    return images;
}

QIcon CImages::SmallIcon(int index) {
    return QIcon(SmallPixmap(index));
}

QPixmap CImages::SmallPixmap(int index) {
    if (index < 0 || index >= Image::kSmallCount)
        index = Image::kTrack;
    const QList<QPixmap> strip = Strip(kSmallImagesPath, Image::kSmallSize);
    if (index < strip.size())
        return strip[index];
    return StandardIcon(kSmallStandIns[static_cast<std::size_t>(index)])
        .pixmap(Image::kSmallSize, Image::kSmallSize);
}

QIcon CImages::ToolIcon(int index) {
    if (index < 0 || index >= Image::kToolCount)
        return {};
    const QList<QPixmap> normal = Strip(kToolbarPath, Image::kToolSize);
    const QList<QPixmap> hot = Strip(kToolbarHotPath, Image::kToolSize);
    if (index >= normal.size())
        return StandardIcon(kToolStandIns[static_cast<std::size_t>(index)]);
    QIcon icon(normal[index]);
    if (index < hot.size())
        icon.addPixmap(hot[index], QIcon::Active);
    return icon;
}

QList<QPixmap> CImages::BusyFrames() {
    QList<QPixmap> frames = Strip(kBusyPath, kBusyFrameSize);
    if (!frames.isEmpty())
        return frames;
    for (int frame = 0; frame < kBusyFrameCount; ++frame)
        frames.append(DrawnBusyFrame(frame));
    return frames;
}

QPixmap CImages::Band() {
    return Resource(kBandPath);
}

QIcon CImages::ApplicationIcon() {
    const QPixmap icon = Resource(kAppIconPath);
    if (!icon.isNull())
        return QIcon(icon);
    return StandardIcon(QStyle::SP_MediaVolume);
}
