#include "desktop/ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>

#include <cstdio>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr char kUriKey[] = "Thumb::URI";
constexpr char kMTimeKey[] = "Thumb::MTime";
constexpr char kSoftwareKey[] = "Software";
// An entry is a small PNG; one that claims more is not ours to decode.
constexpr int kEntryAllocationMb = 4;
constexpr int kMaxEntrySide = 1024;

// The bytes a path keeps as they are in a URI: letters, digits and "!$&'()*+,-./:=@_~".
bool IsPathSafe(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    constexpr std::string_view kSafe = "!$&'()*+,-./:=@_~";
    return kSafe.find(static_cast<char>(c)) != std::string_view::npos;
}

// Each folder made for the user alone; one that exists keeps its mode.
bool MakePrivateFolder(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), S_IRWXU) == 0)
        return true;
    struct stat status {};
    return ::stat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool MakePrivateFolders(const QString& root, const QString& folder) {
    // The root's parent (~/.cache) is the desktop's; below it each level is ours to make.
    if (!QDir().mkpath(QFileInfo(root).path()))
        return false;
    QString path = root;
    if (!MakePrivateFolder(path))
        return false;
    for (const QString& part : QDir(root).relativeFilePath(folder).split(QLatin1Char('/'))) {
        path += QLatin1Char('/') + part;
        if (!MakePrivateFolder(path))
            return false;
    }
    return true;
}

} // namespace

CThumbnailCache::CThumbnailCache(QString root) : root_(std::move(root)) {}

QString CThumbnailCache::DefaultRoot() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QLatin1String("/.cache");
    return base + QLatin1String("/thumbnails");
}

QByteArray CThumbnailCache::UriOf(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray uri("file://");
    uri.reserve(uri.size() + static_cast<qsizetype>(path.size()) * 3);
    for (const char byte : path) {
        const auto c = static_cast<unsigned char>(byte);
        if (IsPathSafe(c)) {
            uri.append(byte);
        } else {
            uri.append('%');
            uri.append(kHex[c >> 4]);
            uri.append(kHex[c & 0xF]);
        }
    }
    return uri;
}

CThumbnailCache::EFlavor CThumbnailCache::FlavorFor(QSize wanted) {
    const int side = std::max(wanted.width(), wanted.height());
    return side <= Pixels(EFlavor::Normal) ? EFlavor::Normal : EFlavor::Large;
}

std::optional<std::int64_t> CThumbnailCache::ModificationTime(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(status.st_mtim.tv_sec);
}

QString CThumbnailCache::EntryPath(const QByteArray& uri, EFlavor flavor) const {
    const QByteArray md5 = QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex();
    const QLatin1String folder(flavor == EFlavor::Normal ? "/normal/" : "/large/");
    return root_ + folder + QString::fromLatin1(md5) + QLatin1String(".png");
}

QString CThumbnailCache::FailurePath(const QByteArray& uri) const {
    const QByteArray md5 = QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex();
    return root_ + QLatin1String("/fail/quavero-" QUAVERO_VERSION "/") + QString::fromLatin1(md5) +
           QLatin1String(".png");
}

std::optional<QImage> CThumbnailCache::ReadEntry(const QString& path, const QByteArray& uri,
                                                 std::int64_t mtime) {
    QImageReader reader(path, "png");
    reader.setAllocationLimit(kEntryAllocationMb);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxEntrySide || size.height() > kMaxEntrySide)
        return std::nullopt;
    QImage image;
    if (!reader.read(&image))
        return std::nullopt;
    if (image.text(QLatin1String(kUriKey)).toUtf8() != uri ||
        image.text(QLatin1String(kMTimeKey)) != QString::number(mtime))
        return std::nullopt;
    return image;
}

std::optional<QImage> CThumbnailCache::Find(const QByteArray& uri, std::int64_t mtime,
                                            EFlavor flavor) const {
    return ReadEntry(EntryPath(uri, flavor), uri, mtime);
}

bool CThumbnailCache::HasFailure(const QByteArray& uri, std::int64_t mtime) const {
    return ReadEntry(FailurePath(uri), uri, mtime).has_value();
}

bool CThumbnailCache::Store(const QByteArray& uri, std::int64_t mtime, const QImage& image,
                            EFlavor flavor) const {
    const int side = Pixels(flavor);
    QImage scaled = image.width() > side || image.height() > side
                        ? image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        : image;
    const QString path = EntryPath(uri, flavor);
    return Write(QFileInfo(path).path(), path, std::move(scaled), uri, mtime);
}

bool CThumbnailCache::StoreFailure(const QByteArray& uri, std::int64_t mtime) const {
    QImage mark(1, 1, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    const QString path = FailurePath(uri);
    return Write(QFileInfo(path).path(), path, std::move(mark), uri, mtime);
}

// The URI is text of the desktop's encoding; a byte that is not UTF-8 is already %XX in it.
bool CThumbnailCache::Write(const QString& folder, const QString& path, QImage image,
                            const QByteArray& uri, std::int64_t mtime) const {
    if (!MakePrivateFolders(root_, folder))
        return false;
    image.setText(QLatin1String(kUriKey), QString::fromUtf8(uri));
    image.setText(QLatin1String(kMTimeKey), QString::number(mtime));
    image.setText(QLatin1String(kSoftwareKey), QStringLiteral("Quavero " QUAVERO_VERSION));
    QTemporaryFile file(folder + QLatin1String("/.quavero-XXXXXX.png")); // made 0600
    if (!file.open())
        return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || !file.flush())
        return false;
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}
