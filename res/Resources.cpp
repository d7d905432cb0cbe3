#include "res/Resources.h"

#include "res/ResourceIds.h"

#include <QString>

namespace {

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

QPixmap CResources::Image(const char* path) {
    Init();
    return QPixmap(QString::fromLatin1(path));
}

QList<QPixmap> CResources::Strip(const char* path, int size) {
    const QPixmap strip = Image(path);
    QList<QPixmap> images;
    if (size <= 0)
        return images;
    for (int x = 0; x + size <= strip.width(); x += size)
        images.append(strip.copy(x, 0, size, size));
    return images;
}

QIcon CResources::ToolIcon(int index) {
    QIcon icon;
    if (index < 0 || index >= ResourceId::kToolImageCount)
        return icon;
    const int size = ResourceId::kToolImageSize;
    const int x = index * size;
    icon.addPixmap(Image(ResourceId::kToolbarPath).copy(x, 0, size, size), QIcon::Normal);
    icon.addPixmap(Image(ResourceId::kToolbarHotPath).copy(x, 0, size, size), QIcon::Active);
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
    return QIcon(SmallPixmap(index));
}

QList<QPixmap> CResources::BusyFrames() {
    return Strip(ResourceId::kBusyFramesPath, ResourceId::kBusyFrameSize);
}

QPixmap CResources::Band() {
    return Image(ResourceId::kBandPath);
}
