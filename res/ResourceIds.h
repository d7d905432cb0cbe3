#pragma once

#include <array>

// The pictures compiled into the program (res/quavero.qrc): their paths and the
// layout of the strips. Every image is a PNG with an alpha channel; strips hold equal square
// images side by side, image n at x = n * size.
namespace ResourceId {

// Bitmap 160: seven 16 x 16 images shared by the tree, the track list, the address bar and the
// status bar. The address kinds (1 drive, 2 folder, 6 favourites) index it directly.
inline constexpr char kSmallImagesPath[] = ":/images/small-images.png";
inline constexpr int kSmallImageSize = 16;
inline constexpr int kSmallImageCount = 7;
inline constexpr int kImageTrack = 0;
inline constexpr int kImageInformation = 0;
inline constexpr int kImageDrive = 1;
inline constexpr int kImageFolder = 2;
inline constexpr int kImageGenre = 3;
inline constexpr int kImageArtist = 4;
inline constexpr int kImageAlbum = 5;
inline constexpr int kImageFavorites = 6;

// Bitmaps 147 (normal) and 146 (hot): twelve 22 x 22 images; the command table gives each tool
// button its slot n, which uses image n.
inline constexpr char kToolbarPath[] = ":/images/toolbar.png";
inline constexpr char kToolbarHotPath[] = ":/images/toolbar-hot.png";
inline constexpr int kToolImageSize = 22;
inline constexpr int kToolImageCount = 12;

// Bitmap 158: background of the animation band, 22 x 22, tiled.
inline constexpr char kBandPath[] = ":/images/band.png";
inline constexpr int kBandSize = 22;

// Animation 166: the busy animation, frames side by side; frame 0 is the resting picture.
inline constexpr char kBusyFramesPath[] = ":/images/busy.png";
inline constexpr int kBusyFrameSize = 32;
inline constexpr int kBusyFrameCount = 12;

// The one 32 x 32 image of the track list in large-icon style.
inline constexpr char kTrackLargePath[] = ":/images/track-large.png";
inline constexpr int kTrackLargeSize = 32;

// Bitmap 169: the about sheet's picture, 50 x 50.
inline constexpr char kAboutPath[] = ":/images/about.png";
inline constexpr int kAboutSize = 50;

// Bitmap 171: the check mark of the options sheet's column list, 16 x 16.
inline constexpr char kCheckMarkPath[] = ":/images/checkmark.png";
inline constexpr int kCheckMarkSize = 16;

// Icons 128 (window and application) and 177 (notification area), one file per size.
struct SIconFile {
    int size;
    const char* path;
};
inline constexpr std::array kApplicationIconFiles{
    SIconFile{16, ":/images/app-16.png"},
    SIconFile{32, ":/images/app-32.png"},
    SIconFile{48, ":/images/app-48.png"},
};
inline constexpr std::array kTrayIconFiles{
    SIconFile{16, ":/images/tray-16.png"},
    SIconFile{22, ":/images/tray-22.png"},
    SIconFile{32, ":/images/tray-32.png"},
};

} // namespace ResourceId
