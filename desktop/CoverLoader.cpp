#include "desktop/CoverLoader.h"

#include "desktop/FrameStrings.h"
#include "desktop/ThumbnailCache.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {

// Two workers: the machine's other cores belong to the walk and to other programs, and a
// picture takes a few milliseconds.
constexpr int kWorkers = 2;

EStringId ReasonOf(CCoverImage::EFailure failure) {
    switch (failure) {
    case CCoverImage::EFailure::TooLarge:
        return EStringId::CoverTooLarge;
    case CCoverImage::EFailure::NotAnImage:
        return EStringId::CoverNotAnImage;
    case CCoverImage::EFailure::Damaged:
        return EStringId::CoverDamaged;
    default:
        return EStringId::CoverUnreadable;
    }
}

} // namespace

CCoverLoader::CCoverLoader(QObject* parent, const QString& thumbnailRoot)
    : QObject(parent),
      thumbnailRoot_(thumbnailRoot.isEmpty() ? CThumbnailCache::DefaultRoot() : thumbnailRoot),
      memory_(static_cast<qsizetype>(kMemoryBytes)) {
    pool_.setMaxThreadCount(kWorkers);
}

// Nothing not yet started runs; what runs is awaited, so that no worker calls back into a loader
// that is gone.
CCoverLoader::~CCoverLoader() {
    for (const SPending& pending : std::as_const(pending_))
        pending.cancelled->store(true);
    pool_.clear();
    pool_.waitForDone();
}

QString CCoverLoader::KeyOf(const SCoverSource& source, QSize size) {
    return QFile::decodeName(QByteArray::fromStdString(source.path)) + QLatin1Char('\n') +
           QString::number(source.offset) + QLatin1Char('+') + QString::number(source.length) +
           QLatin1Char('@') + QString::number(size.width()) + QLatin1Char('x') +
           QString::number(size.height());
}

std::optional<QImage> CCoverLoader::Cached(const SCoverSource& source, QSize size) const {
    if (const QImage* image = memory_.object(KeyOf(source, size)))
        return *image;
    return std::nullopt;
}

CCoverLoader::Ticket CCoverLoader::Request(const SCoverSource& source, QSize size) {
    return Start(source, size, true);
}

CCoverLoader::Ticket CCoverLoader::RequestFull(const SCoverSource& source) {
    return Start(source, QSize(kFullSide, kFullSide), false);
}

// The newest request runs first: what was asked for last is what the user looks at now.
CCoverLoader::Ticket CCoverLoader::Start(const SCoverSource& source, QSize size, bool thumbnail) {
    const Ticket ticket = next_++;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    pending_.insert(ticket, SPending{thumbnail ? KeyOf(source, size) : QString(), cancelled});
    const int priority =
        static_cast<int>(ticket % static_cast<Ticket>(std::numeric_limits<int>::max()));
    pool_.start(
        [this, ticket, source, size, thumbnail, cancelled] {
            if (cancelled->load())
                return;
            const SResult result = Work(source, size, thumbnail);
            if (!cancelled->load())
                QMetaObject::invokeMethod(
                    this, [this, ticket, source, result] { Finish(ticket, source, result); },
                    Qt::QueuedConnection);
            if (result.fresh && thumbnail) // after the picture is on its way
                Remember(source, result);
        },
        priority);
    return ticket;
}

// On a worker. A thumbnail in the cache spares the decode; a picture decoded now is decoded at
// the large flavour, for Remember to store both: the tree's small icon and the pane's picture
// of one cover cost one decode.
CCoverLoader::SResult CCoverLoader::Work(const SCoverSource& source, QSize size,
                                         bool thumbnail) const {
    SResult result;
    const CThumbnailCache cache(thumbnailRoot_);
    const CThumbnailCache::EFlavor flavor = CThumbnailCache::FlavorFor(size);
    const QByteArray uri = CThumbnailCache::UriOf(source.path);
    const std::optional<std::int64_t> mtime =
        thumbnail ? CThumbnailCache::ModificationTime(source.path) : std::nullopt;
    if (mtime) {
        if (std::optional<QImage> found = cache.Find(uri, *mtime, flavor)) {
            result.image = found->width() > size.width() || found->height() > size.height()
                               ? found->scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                               : *found;
            return result;
        }
        if (cache.HasFailure(uri, *mtime)) {
            result.failure = CCoverImage::EFailure::NotAnImage;
            return result;
        }
    }
    result.fresh = true;
    // Decoded once at the large flavour, from which both entries are made.
    const int side = CThumbnailCache::Pixels(CThumbnailCache::EFlavor::Large);
    const QSize decodeSize = mtime ? QSize(side, side) : size;
    result.failure = CCoverImage::Load(source, decodeSize, result.image);
    result.decoded = result.image;
    if (result.failure == CCoverImage::EFailure::None &&
        (result.image.width() > size.width() || result.image.height() > size.height()))
        result.image = result.image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return result;
}

// The thumbnail of a picture decoded now, or a failure entry, unless the file could not be read
// at all (that may pass).
void CCoverLoader::Remember(const SCoverSource& source, const SResult& result) const {
    const std::optional<std::int64_t> mtime = CThumbnailCache::ModificationTime(source.path);
    if (!mtime || result.failure == CCoverImage::EFailure::Unreadable)
        return;
    const CThumbnailCache cache(thumbnailRoot_);
    const QByteArray uri = CThumbnailCache::UriOf(source.path);
    if (result.failure == CCoverImage::EFailure::None)
        for (const auto flavor :
             {CThumbnailCache::EFlavor::Large, CThumbnailCache::EFlavor::Normal})
            cache.Store(uri, *mtime, result.decoded, flavor);
    else
        cache.StoreFailure(uri, *mtime);
}

void CCoverLoader::Finish(Ticket ticket, const SCoverSource& source, const SResult& result) {
    const auto found = pending_.find(ticket);
    if (found == pending_.end())
        return; // no longer wanted
    const QString key = found->key;
    pending_.erase(found);
    if (result.failure != CCoverImage::EFailure::None) {
        if (result.fresh)
            Q_EMIT Note(NoteFor(source, result.failure));
        Q_EMIT Failed(ticket);
        return;
    }
    if (!key.isEmpty()) // a full-size picture would push out every thumbnail
        memory_.insert(key, new QImage(result.image), result.image.sizeInBytes());
    Q_EMIT Loaded(ticket, result.image);
}

void CCoverLoader::WaitForIdle() {
    pool_.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

QString CCoverLoader::NoteFor(const SCoverSource& source, CCoverImage::EFailure failure) {
    const QString name =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(source.path))).fileName();
    return CFrameStrings::Get(EStringId::CoverNotShown)
        .arg(name, CFrameStrings::Get(ReasonOf(failure)));
}

void CCoverLoader::Cancel(Ticket ticket) {
    const auto found = pending_.find(ticket);
    if (found == pending_.end())
        return;
    found->cancelled->store(true);
    pending_.erase(found);
}
