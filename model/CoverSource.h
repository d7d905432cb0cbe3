#pragma once

#include <cstdint>
#include <string>

// Where a track's cover lies: a picture frame's image bytes inside the track's tag, or a whole
// image file of its folder. Nothing in it is read until the cover is to be shown.
struct SCoverSource {
    // The kind of image, as the frame's MIME type or the file's extension says; what the bytes
    // turn out to be is for the decoder to find.
    enum class EImage : std::uint8_t { Unknown = 0, Jpeg = 1, Png = 2, WebP = 3 };

    std::string path;         // the track, or the folder's image file
    std::uint64_t offset = 0; // of the image bytes in `path`
    std::uint64_t length = 0; // of the image bytes; 0 with offset 0: the whole file
    EImage image = EImage::Unknown;
    bool embedded = false; // in the track's tag, rather than a file of its own

    friend bool operator==(const SCoverSource&, const SCoverSource&) = default;
};
