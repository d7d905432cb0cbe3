#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

// The desktop's shared thumbnail folder, as every file manager reads and writes it: a PNG per
// file in "normal" (at most 128 pixels) or "large" (at most 256), named by the MD5 of the file's
// URI, with the URI and the file's modification time in its text chunks ("Thumb::URI",
// "Thumb::MTime"); an entry whose time differs from the file's is stale. A file with no usable
// picture has an entry of ours under "fail/", so that it is not tried again until it changes.
// Entries are written whole (a private temporary file renamed into place), readable by the
// user alone. Safe on any thread: it keeps no state but its folder.
class CThumbnailCache {
public:
    enum class EFlavor { Normal = 128, Large = 256 };

    explicit CThumbnailCache(QString root = DefaultRoot());

    // $XDG_CACHE_HOME/thumbnails, else ~/.cache/thumbnails.
    static QString DefaultRoot();
    // "file://" and the absolute path's bytes, each byte outside the path's safe set written
    // as %XX, as the desktop's own libraries write it, so that the name is the one they use.
    static QByteArray UriOf(const std::string& path);
    // The smallest flavour that holds a picture of `wanted`.
    static EFlavor FlavorFor(QSize wanted);
    static int Pixels(EFlavor flavor) { return static_cast<int>(flavor); }
    // The file's modification time in seconds; nullopt when it cannot be looked at.
    static std::optional<std::int64_t> ModificationTime(const std::string& path);

    const QString& Root() const { return root_; }
    QString EntryPath(const QByteArray& uri, EFlavor flavor) const;
    QString FailurePath(const QByteArray& uri) const;

    // The entry of the file, when there is one for this modification time.
    std::optional<QImage> Find(const QByteArray& uri, std::int64_t mtime, EFlavor flavor) const;
    bool HasFailure(const QByteArray& uri, std::int64_t mtime) const;
    // `image` scaled down to the flavour's size (if larger) and written with its keys.
    bool Store(const QByteArray& uri, std::int64_t mtime, const QImage& image,
               EFlavor flavor) const;
    bool StoreFailure(const QByteArray& uri, std::int64_t mtime) const;

private:
    bool Write(const QString& folder, const QString& path, QImage image, const QByteArray& uri,
               std::int64_t mtime) const;
    static std::optional<QImage> ReadEntry(const QString& path, const QByteArray& uri,
                                           std::int64_t mtime);

    QString root_;
};
