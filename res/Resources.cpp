#include "res/Resources.h"

#include "res/ResourceIds.h"

#include <QApplication>
#include <QString>

namespace {

// Every picture of the window has a twice-as-large version beside it, "name@2x.png".
QString DoublePath(const char* path) {
    QString name = QString::fromLatin1(path);
    return name.insert(name.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
}

bool HighDensity() {
    return qApp != nullptr && qApp->devicePixelRatio() > 1.0;
}

QPixmap Cut(const QPixmap& strip, int index, int size) {
    const int side = static_cast<int>(size * strip.devicePixelRatio());
    QPixmap image = strip.copy(index * side, 0, side, side);
    image.setDevicePixelRatio(strip.devicePixelRatio());
    return image;
}

QPixmap Double(const char* path) {
    QPixmap image(DoublePath(path));
    image.setDevicePixelRatio(2.0);
    return image;
}

template <typename Files>
QIcon IconFromFiles(const Files& files) {
    QIcon icon;
    for (const ResourceId::SIconFile& file : files)
        icon.addPixmap(CResources::Image(file.path));
    return icon;
}

} // namespace

void CResources::Init() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(quavero);
        return true;
    }();
    (void)registered;
}

// On a high-density screen the double picture, which then counts as the size of the plain one.
QPixmap CResources::Image(const char* path) {
    Init();
    if (HighDensity())
        if (QPixmap image = Double(path); !image.isNull())
            return image;
    return QPixmap(QString::fromLatin1(path));
}

QIcon CResources::StripIcon(const char* path, int index, int size) {
    Init();
    QIcon icon;
    for (const QPixmap& strip : {QPixmap(QString::fromLatin1(path)), Double(path)})
        if (!strip.isNull() && (index + 1) * size * strip.devicePixelRatio() <= strip.width())
            icon.addPixmap(Cut(strip, index, size));
    return icon;
}

QList<QPixmap> CResources::Strip(const char* path, int size) {
    const QPixmap strip = Image(path);
    QList<QPixmap> images;
    if (size <= 0)
        return images;
    const int side = static_cast<int>(size * strip.devicePixelRatio());
    for (int i = 0; (i + 1) * side <= strip.width(); ++i)
        images.append(Cut(strip, i, size));
    return images;
}

QIcon CResources::ToolIcon(int index) {
    QIcon icon;
    if (index < 0 || index >= ResourceId::kToolImageCount)
        return icon;
    const int size = ResourceId::kToolImageSize;
    const QIcon normal = StripIcon(ResourceId::kToolbarPath, index, size);
    const QIcon hot = StripIcon(ResourceId::kToolbarHotPath, index, size);
    for (const qreal ratio : {1.0, 2.0}) {
        icon.addPixmap(normal.pixmap(QSize(size, size), ratio), QIcon::Normal);
        icon.addPixmap(hot.pixmap(QSize(size, size), ratio), QIcon::Active);
    }
    return icon;
}

QIcon CResources::ApplicationIcon() {
    return IconFromFiles(ResourceId::kApplicationIconFiles);
}

QIcon CResources::TrayIcon() {
    return IconFromFiles(ResourceId::kTrayIconFiles);
}

QPixmap CResources::SmallPixmap(int index) {
    const QList<QPixmap> strip = Strip(ResourceId::kSmallImagesPath, ResourceId::kSmallImageSize);
    if (index < 0 || index >= strip.size())
        return {};
    return strip[index];
}

QIcon CResources::SmallIcon(int index) {
    if (index < 0 || index >= ResourceId::kSmallImageCount)
        return {};
    return StripIcon(ResourceId::kSmallImagesPath, index, ResourceId::kSmallImageSize);
}

QList<QPixmap> CResources::BusyFrames() {
    return Strip(ResourceId::kBusyFramesPath, ResourceId::kBusyFrameSize);
}

QPixmap CResources::Band() {
    return Image(ResourceId::kBandPath);
}
