#include "desktop/CoverImage.h"

#include "platform/File.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <atomic>
#include <string_view>

namespace {

std::atomic<int> decodeCount{0};

constexpr std::array<std::string_view, 5> kFormats{"jpeg", "png", "webp", "gif", "bmp"};

bool IsDecodedFormat(const QByteArray& format) {
    return std::any_of(kFormats.begin(), kFormats.end(), [&format](std::string_view known) {
        return format == QByteArrayView(known.data(), static_cast<qsizetype>(known.size()));
    });
}

// A JPEG ends with its EOI marker (FF D9). Its decoder fills the rest of a file cut short with
// grey and calls it a success, so a cover whose last kilobyte holds no EOI counts as cut. (A
// thumbnail inside the EXIF block has an EOI of its own, but near the start.)
bool JpegHasEnd(const QByteArray& bytes) {
    constexpr qsizetype kTail = 1024;
    qsizetype end = bytes.size();
    while (end > 0 && bytes[end - 1] == '\0') // padding after the picture
        --end;
    const qsizetype from = std::max<qsizetype>(0, end - kTail);
    const QByteArrayView tail(bytes.constData() + from, end - from);
    return tail.lastIndexOf(QByteArrayView("\xFF\xD9", 2)) >= 0;
}

} // namespace

CCoverImage::EFailure CCoverImage::Read(const SCoverSource& source, QByteArray& bytes) {
    bytes.clear();
    CFile file;
    if (file.Open(source.path, CFile::EMode::Read) != CFile::EOpenResult::Opened)
        return EFailure::Unreadable;
    const bool whole = source.offset == 0 && source.length == 0;
    const auto size = static_cast<std::uint64_t>(file.Size());
    const std::uint64_t length = whole ? size : source.length;
    if (length > static_cast<std::uint64_t>(kMaxBytes))
        return EFailure::TooLarge;
    if (length == 0)
        return EFailure::NotAnImage;
    if (source.offset > size || length > size - source.offset)
        return EFailure::Damaged; // the file ends before the picture its tag noted
    bytes.resize(static_cast<qsizetype>(length));
    std::size_t done = 0;
    while (done < length) {
        const std::ptrdiff_t got = file.ReadAt(static_cast<std::int64_t>(source.offset + done),
                                               bytes.data() + done, length - done);
        if (got < 0)
            return EFailure::Unreadable;
        if (got == 0)
            return EFailure::Damaged; // cut while we read
        done += static_cast<std::size_t>(got);
    }
    return EFailure::None;
}

CCoverImage::EFailure CCoverImage::Decode(const QByteArray& bytes, QSize bound, QImage& image) {
    image = QImage();
    QByteArray copy(bytes); // shares the data; QBuffer wants a non-const array
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kAllocationLimitMb);
    reader.setAutoTransform(true);
    if (!reader.canRead() || !IsDecodedFormat(reader.format()))
        return EFailure::NotAnImage;
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return EFailure::Damaged;
    if (static_cast<std::int64_t>(size.width()) * size.height() > kMaxPixels)
        return EFailure::TooLarge;
    if (reader.format() == "jpeg" && !JpegHasEnd(bytes))
        return EFailure::Damaged;
    if (bound.isValid() && !bound.isEmpty() &&
        (size.width() > bound.width() || size.height() > bound.height()))
        reader.setScaledSize(size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    decodeCount.fetch_add(1, std::memory_order_relaxed);
    if (!reader.read(&image) || image.isNull()) {
        image = QImage();
        return EFailure::Damaged;
    }
    return EFailure::None;
}

CCoverImage::EFailure CCoverImage::Load(const SCoverSource& source, QSize bound, QImage& image) {
    QByteArray bytes;
    if (const EFailure failure = Read(source, bytes); failure != EFailure::None) {
        image = QImage();
        return failure;
    }
    return Decode(bytes, bound, image);
}

int CCoverImage::DecodeCount() {
    return decodeCount.load(std::memory_order_relaxed);
}
