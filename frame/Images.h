#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// The window's pictures, from the program's resources by path. Where a picture is missing, a
// standard icon of the style (or a drawn one) stands in, so the window is never blank.
namespace Image {
// The shared strip of seven small images; the address kinds index it directly.
inline constexpr int kTrack = 0;
inline constexpr int kInformation = 0;
inline constexpr int kDrive = 1;
inline constexpr int kFolder = 2;
inline constexpr int kGenre = 3;
inline constexpr int kArtist = 4;
inline constexpr int kAlbum = 5;
inline constexpr int kFavorites = 6;
inline constexpr int kSmallCount = 7;
inline constexpr int kSmallSize = 16;
inline constexpr int kToolCount = 12;
inline constexpr int kToolSize = 22;
} // namespace Image

class CImages {
public:
    static QIcon SmallIcon(int index);
    static QPixmap SmallPixmap(int index);
    // Tool button n: normal and hot pictures.
    static QIcon ToolIcon(int index);
    // The frames of the busy animation; frame 0 is the resting picture.
    static QList<QPixmap> BusyFrames();
    // Background of the animation's band.
    static QPixmap Band();
    static QIcon ApplicationIcon();

private:
    static QPixmap Resource(const char* path);
    static QList<QPixmap> Strip(const char* path, int size);
};
