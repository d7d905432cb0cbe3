#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// Loads the pictures of res/quavero.qrc. The images live in a static library, so they are
// registered explicitly (Init) before the first load; every loader here does it itself.
class CResources {
public:
    static void Init();
    static QPixmap Image(const char* path);
    // The square images of a strip, left to right; empty when the strip cannot be loaded.
    static QList<QPixmap> Strip(const char* path, int size);
    // Image n of a strip of square images, plain and double (for high-density screens).
    static QIcon StripIcon(const char* path, int index, int size);
    // Tool button image n: the normal image, and the hot one for the hovered button.
    static QIcon ToolIcon(int index);
    // Image n of the shared strip of seven small images.
    static QPixmap SmallPixmap(int index);
    static QIcon SmallIcon(int index);
    // The busy animation's frames; frame 0 is the resting picture.
    static QList<QPixmap> BusyFrames();
    // The background of the animation's band.
    static QPixmap Band();
    static QIcon ApplicationIcon();
    static QIcon TrayIcon();
};
