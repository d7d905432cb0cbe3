#pragma once

#include "model/CoverSource.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <cstdint>

// One cover read and decoded within fixed bounds, whatever its bytes: a cover comes from a file
// anybody may have made, so neither its noted length nor the size its header claims is trusted.
// Runs on any thread; it touches nothing but the file and what it returns.
class CCoverImage {
public:
    enum class EFailure : std::uint8_t {
        None = 0,
        Unreadable = 1, // the file cannot be opened or read (it may come back)
        TooLarge = 2,   // more bytes or pixels than a cover may have
        NotAnImage = 3, // no image format we decode
        Damaged = 4,    // cut short or corrupt
    };

    // A cover's bytes are never more than this, a whole image file neither.
    static constexpr std::int64_t kMaxBytes = 16LL * 1024 * 1024;
    // The most pixels a picture may claim, and what Qt may allocate to decode one (MB): a
    // 5,600 x 5,600 picture fits, a 30,000 x 30,000 one is refused before any pixel is made.
    static constexpr std::int64_t kMaxPixels = 32LL * 1024 * 1024;
    static constexpr int kAllocationLimitMb = 128;

    // The cover's bytes: the noted range of the file, or the whole image file.
    static EFailure Read(const SCoverSource& source, QByteArray& bytes);
    // Decodes `bytes`, scaled while decoding to fit `bound` with its aspect ratio (never
    // enlarged); an empty bound keeps the picture's own size. The format is the bytes' own,
    // whatever the cover was labelled, among JPEG, PNG, WebP, GIF and BMP.
    static EFailure Decode(const QByteArray& bytes, QSize bound, QImage& image);
    static EFailure Load(const SCoverSource& source, QSize bound, QImage& image);

    // How many pictures were decoded from their bytes in this process (thumbnails read back
    // from the cache are not counted).
    static int DecodeCount();
};
