#pragma once

#include "desktop/CoverImage.h"
#include "model/CoverSource.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class CMp3File;

// Covers for the window, off its thread. A request names a cover and the size it is wanted at;
// a worker of the loader's own pool looks for the file's thumbnail in the desktop's cache, else
// reads and decodes the picture within CCoverImage's bounds, stores the thumbnail, and hands the
// picture back to the window's thread by a queued call. A request cancelled meanwhile is not run,
// or its picture is dropped. Pictures come back into a memory cache of at most 64 MB, which the
// window asks first. A cover that cannot be shown says why once, through `Note`.
class CCoverLoader : public QObject {
    Q_OBJECT
public:
    using Ticket = quint64;
    // Where a track's cover lies (the document's CoverOf); the views ask it of each track shown.
    using Lookup = std::function<std::optional<SCoverSource>(const CMp3File&)>;
    static constexpr qint64 kMemoryBytes = 64LL * 1024 * 1024;
    // A full-size picture is shown at most this large.
    static constexpr int kFullSide = 4096;

    explicit CCoverLoader(QObject* parent = nullptr,
                          const QString& thumbnailRoot = QString()); // empty: the desktop's
    ~CCoverLoader() override;

    // The picture scaled to fit `size`, through the thumbnail cache. Never 0.
    Ticket Request(const SCoverSource& source, QSize size);
    // The picture at its own size (at most kFullSide), never through the thumbnail cache.
    Ticket RequestFull(const SCoverSource& source);
    void Cancel(Ticket ticket);
    bool IsPending(Ticket ticket) const { return pending_.contains(ticket); }
    int PendingCount() const { return static_cast<int>(pending_.size()); }
    // The picture already in memory for this request, if any.
    std::optional<QImage> Cached(const SCoverSource& source, QSize size) const;
    // Waits until the workers are idle and the results have been handed over (tests, bench).
    void WaitForIdle();
    const QString& ThumbnailRoot() const { return thumbnailRoot_; }

    // The text the status bar shows for a cover that cannot be shown.
    static QString NoteFor(const SCoverSource& source, CCoverImage::EFailure failure);

Q_SIGNALS:
    void Loaded(CCoverLoader::Ticket ticket, const QImage& image);
    void Failed(CCoverLoader::Ticket ticket);
    void Note(const QString& text);

private:
    struct SPending {
        QString key;
        std::shared_ptr<std::atomic<bool>> cancelled;
    };
    struct SResult {
        QImage image;
        CCoverImage::EFailure failure = CCoverImage::EFailure::None;
        bool fresh = false; // decoded now rather than found in the thumbnail cache
        QImage decoded;     // then: at the thumbnail's size, to store
    };

    Ticket Start(const SCoverSource& source, QSize size, bool thumbnail);
    SResult Work(const SCoverSource& source, QSize size, bool thumbnail) const;
    void Remember(const SCoverSource& source, const SResult& result) const;
    void Finish(Ticket ticket, const SCoverSource& source, const SResult& result);
    static QString KeyOf(const SCoverSource& source, QSize size);

    QString thumbnailRoot_;
    QThreadPool pool_;
    QHash<Ticket, SPending> pending_;
    QCache<QString, QImage> memory_;
    Ticket next_ = 1;
};
