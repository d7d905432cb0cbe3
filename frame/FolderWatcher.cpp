#include "frame/FolderWatcher.h"

#include "catalog/Address.h"
#include "catalog/ChangeCheck.h"
#include "catalog/CheckLevel.h"
#include "catalog/FilePattern.h"
#include "catalog/QuavDoc.h"
#include "desktop/FrameStrings.h"
#include "model/ArchiveFormat.h"
#include "model/Mp3File.h"
#include "platform/FileSystemKind.h"
#include "platform/StringIds.h"
#include "settings/AppSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Long enough to gather the events of one copy or save, short enough to show it within 2 s.
constexpr int kDelayMs = 300;
// Entries added, removed, renamed, or written and closed; the folder itself going away.
constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// A slice of the gathering stays well within one frame of the display.
constexpr qint64 kSliceMs = 8;
constexpr std::size_t kRecordsPerLook = 4096;
constexpr int kFirstSliceMs = 250;
// Events of descriptors not yet taken that wait at most; past that, every folder is listed again
// as after an overflow of the system's queue.
constexpr std::size_t kMostHeld = 16384;
constexpr int kMsPerSecond = 1000;
constexpr int kSecondsPerMinute = 60;

// At most a day between two looks.
int PollInterval(int seconds) {
    constexpr int kMostSeconds = 24 * 60 * 60;
    return std::clamp(seconds, 1, kMostSeconds) * kMsPerSecond;
}

// The system lets go of a hundred thousand watches in a tenth of a second: not on the window's
// thread.
void CloseInBackground(int fd) {
    if (fd >= 0)
        std::thread([fd] { ::close(fd); }).detach();
}

} // namespace

bool CFolderWatcher::pollEverywhere_ = false;

CFolderWatcher::CFolderWatcher(CQuavDoc& doc, const CAppSettings& settings, QObject* parent)
    : QObject(parent), doc_(doc), settings_(settings) {
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &CFolderWatcher::Reread);
    gatherTimer_.setInterval(0);
    connect(&gatherTimer_, &QTimer::timeout, this, &CFolderWatcher::GatherSlice);
    pollTimer_.setSingleShot(true);
    connect(&pollTimer_, &QTimer::timeout, this, &CFolderWatcher::Poll);
    lookTimer_.setSingleShot(true);
    lookTimer_.setInterval(kDelayMs);
    connect(&lookTimer_, &QTimer::timeout, this, &CFolderWatcher::LookDone);
    doc_.AddView(this);
    // Called on the look's thread: the result is taken on this one.
    doc_.DeferLooks([this] {
        QMetaObject::invokeMethod(
            this, [this] { LookDone(); }, Qt::QueuedConnection);
    });
}

// A look still running calls back first; the event it posts goes with the timer.
CFolderWatcher::~CFolderWatcher() {
    doc_.SettleLook();
    doc_.DeferLooks(nullptr);
    doc_.RemoveView(this);
    look_.reset();
    notifier_.reset();
    CloseInBackground(fd_);
}

// A rebuild replaces the records the gathering reads; Follow starts it again afterwards.
void CFolderWatcher::OnUpdate(CView*, EHint hint, const TrackArray*) {
    if (hint != EHint::RebuildBegin)
        return;
    rebuildAt_ = CChangeCheck::Now();
    gatherTimer_.stop();
    gathering_ = false;
}

// Another address starts from an empty table on a new descriptor: the old one's watches go with
// it at once. One on a share is looked at instead, from the rebuild's start on.
void CFolderWatcher::Restart(std::string_view root, bool poll) {
    StopLook();
    notifier_.reset();
    CloseInBackground(fd_);
    fd_ = -1;
    table_ = CWatchTable();
    held_.clear();
    changed_.clear();
    pollTimer_.stop();
    polling_ = false;
    sharesBelow_ = false;
    times_.clear();
    limitHit_ = false;
    if (root.empty())
        return;
    if (poll) {
        polling_ = true;
        pollSince_ = rebuildAt_;
        table_.Reset(root);
        pollTimer_.start(PollInterval(settings_.PollSeconds));
        Q_EMIT PollingStarted(settings_.PollSeconds);
        return;
    }
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
        return;
    table_.Reset(root);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &CFolderWatcher::OnReadable);
}

void CFolderWatcher::Follow() {
    const std::string& address = doc_.Address();
    const bool watching = CheckLevel(settings_.CheckForChanges) != ECheckLevel::None &&
                          !address.empty() && address != CAddress::kFavorites;
    gatherTimer_.stop();
    gathering_ = false;
    if (!watching) {
        Restart({}, false);
        return;
    }
    base_ = CMp3FileList::SnapshotBase(address);
    const std::string_view root(base_.data(), std::max<std::size_t>(base_.size() - 1, 1));
    // A change of PollSeconds counts from the next rebuild (a refresh, say).
    const bool poll =
        settings_.PollSeconds > 0 &&
        (pollEverywhere_ || CFileSystemKind::IsShared(CFileSystemKind::TypeOf(std::string(root))));
    const bool another = table_.Empty() || table_.Root() != root || poll != polling_;
    if (another)
        Restart(root, poll);
    else
        StopLook();
    if (table_.Empty())
        return;
    // The root's time from the look before is no guide: the snapshot the rebuild writes into it
    // changes it. The root is set against that file's time instead (CFolderLook).
    if (!times_.empty())
        times_[0] = 0;
    table_.ClearSeen();
    table_.SetSeen(0);
    gathering_ = true;
    gatherAt_ = 0;
    lastFolder_ = nullptr;
    // The window an address opens in shows first: its first paint has the machine to itself.
    // Nothing is missed meanwhile, as a folder changed since the rebuild began is listed again.
    gatherTimer_.start(another ? kFirstSliceMs : 0);
}

// The records of one folder come one after the other and share its text: one look a folder.
// Then the folders without a track of their own, as many as artists, say.
void CFolderWatcher::GatherSlice() {
    gatherTimer_.setInterval(0);
    QElapsedTimer clock;
    clock.start();
    const std::span<CMp3File* const> tracks = doc_.GetTrackList().Tracks();
    const std::vector<std::string>& bare = doc_.BareFolders();
    const auto meet = [this](std::string_view relative) {
        for (std::uint32_t folder = table_.Make(relative); !table_.Seen(folder);
             folder = table_.Parent(folder))
            table_.SetSeen(folder);
    };
    while (gatherAt_ < tracks.size() + bare.size()) {
        const std::size_t end = std::min(gatherAt_ + kRecordsPerLook, tracks.size() + bare.size());
        for (; gatherAt_ < end; ++gatherAt_) {
            if (gatherAt_ >= tracks.size()) {
                meet(bare[gatherAt_ - tracks.size()]);
                continue;
            }
            const CMp3File& track = *tracks[gatherAt_];
            if (track.Directory().data() != lastFolder_)
                meet(CChangeCheck::RelativeFolder(base_, track));
            lastFolder_ = track.Directory().data();
        }
        if (clock.elapsed() >= kSliceMs)
            return;
    }
    gatherTimer_.stop();
    gathering_ = false;
    Gathered();
}

// The folders met are the catalog's; those it no longer knows lose their watches, and those
// without one get theirs on the look's thread.
void CFolderWatcher::Gathered() {
    std::vector<std::uint32_t> add;
    for (std::uint32_t folder = 0; folder < table_.Size(); ++folder) {
        const bool seen = table_.Seen(folder);
        table_.SetKnown(folder, seen);
        if (seen && table_.Watch(folder) < 0 && !limitHit_)
            add.push_back(folder);
        else if (!seen && table_.Watch(folder) >= 0)
            ::inotify_rm_watch(fd_, table_.DropWatch(folder));
    }
    merged_ = 0;
    if (add.empty() || polling_) {
        Merge();
        return;
    }
    Look(std::move(add), {},
         {.fd = fd_,
          .mask = kEvents,
          .since = rebuildAt_,
          .rootSnapshot = std::string(ArchiveFormat::kFileName),
          .findShares = settings_.PollSeconds > 0});
}

void CFolderWatcher::Look(std::vector<std::uint32_t> folders, std::vector<std::int64_t> known,
                          const CFolderLook::SOptions& options) {
    merged_ = 0;
    lookIsPoll_ = options.fd < 0;
    look_ = std::make_unique<CFolderLook>(
        table_, std::move(folders), std::move(known), options,
        [this] { QMetaObject::invokeMethod(this, &CFolderWatcher::Merge, Qt::QueuedConnection); });
}

// Every folder the catalog knows, each with one look at its times, set against those the look
// before saw; none while the catalog is being made or its folders gathered, nor while a change
// waits to be read.
void CFolderWatcher::Poll() {
    if ((!polling_ && !sharesBelow_) || settings_.PollSeconds <= 0)
        return;
    pollTimer_.start(PollInterval(settings_.PollSeconds));
    if (!Settled() || doc_.IsWalking() || timer_.isActive())
        return;
    std::vector<std::uint32_t> folders;
    std::vector<std::int64_t> times;
    times_.resize(table_.Size(), 0);
    for (std::uint32_t folder = 0; folder < table_.Size(); ++folder) {
        if (table_.Known(folder) && (polling_ || table_.Polled(folder))) {
            folders.push_back(folder);
            times.push_back(times_[folder]);
        }
    }
    pollStart_ = CChangeCheck::Now();
    Look(std::move(folders), std::move(times),
         {.fd = -1,
          .mask = 0,
          .since = pollSince_,
          .rootSnapshot = std::string(ArchiveFormat::kFileName)});
}

void CFolderWatcher::StopLook() {
    if (look_ == nullptr)
        return;
    look_->Stop();
    Merge();
    look_.reset();
}

// A share mounted below the address: its folders are looked at as a share's are, the rest stay
// watched.
void CFolderWatcher::PollBelow() {
    if (sharesBelow_ || settings_.PollSeconds <= 0)
        return;
    sharesBelow_ = true;
    pollSince_ = rebuildAt_;
    pollTimer_.start(PollInterval(settings_.PollSeconds));
    Q_EMIT PollingStarted(settings_.PollSeconds);
}

// The look's results in their order, then the events that waited for them.
void CFolderWatcher::Merge() {
    if (look_ != nullptr) {
        for (const std::size_t done = look_->Done(); merged_ < done; ++merged_)
            TakeResult(look_->Folders()[merged_], look_->Result(merged_));
        if (look_->Finished() && merged_ == look_->Done()) {
            // A whole look vouches for every folder up to its start.
            if (lookIsPoll_ && merged_ == look_->Folders().size())
                pollSince_ = pollStart_;
            look_.reset();
        }
    }
    std::vector<SHeld> held;
    held.swap(held_);
    const CFilePattern pattern(settings_.FileExt);
    for (const SHeld& event : held) {
        const inotify_event header{.wd = event.wd, .mask = event.mask, .cookie = 0, .len = 0};
        Take(header, event.name, pattern);
    }
    if (!changed_.empty())
        timer_.start();
}

void CFolderWatcher::TakeResult(std::uint32_t folder, const CFolderLook::SResult& result) {
    if (result.shared && !table_.Polled(folder)) {
        table_.SetPolled(folder);
        PollBelow();
    }
    if (result.wd >= 0)
        table_.SetWatch(folder, result.wd);
    if (lookIsPoll_ && folder < times_.size())
        times_[folder] = result.time;
    // Not for the root: a change of its owner or mode would have the whole catalog read again.
    if (result.moved && folder != 0)
        ChangedBelow(folder);
    else if (result.changed)
        Changed(folder);
    if (result.wd == -ENOSPC)
        limitHit_ = true;
    if (result.wd == -ENOSPC && !limitSaid_) {
        limitSaid_ = true;
        Q_EMIT LimitReached();
    }
}

// Events name the entry; only tracks and subfolders matter.
void CFolderWatcher::OnReadable() {
    const CFilePattern pattern(settings_.FileExt);
    alignas(inotify_event) std::array<char, 16384> buffer{};
    ssize_t got = 0;
    while ((got = ::read(fd_, buffer.data(), buffer.size())) > 0) {
        for (ssize_t at = 0; at < got;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + at, sizeof event);
            const std::string_view name(buffer.data() + at + sizeof event,
                                        ::strnlen(buffer.data() + at + sizeof event, event.len));
            at += static_cast<ssize_t>(sizeof event + event.len);
            Take(event, name, pattern);
        }
    }
    if (!changed_.empty())
        timer_.start();
}

// A watch follows its folder, not its name: a folder moved away or deleted takes its watches
// along, and one that appears at a known name is another folder, whose subfolders the catalog
// knows only by name. An event of a descriptor not yet taken from the look waits for it.
void CFolderWatcher::Take(const inotify_event& event, std::string_view name,
                          const CFilePattern& pattern) {
    if ((event.mask & IN_Q_OVERFLOW) != 0) {
        for (std::uint32_t folder = 0; folder < table_.Size(); ++folder)
            if (table_.Known(folder))
                Changed(folder);
        return;
    }
    const std::uint32_t folder = table_.FolderOf(event.wd);
    if (folder == CWatchTable::kNone) {
        if (!Settled() && held_.size() < kMostHeld)
            held_.push_back({event.wd, event.mask, std::string(name)});
        else if (!Settled())
            held_ = {{-1, IN_Q_OVERFLOW, {}}};
        return;
    }
    if ((event.mask & IN_IGNORED) != 0) {
        table_.DropWatch(folder);
        return;
    }
    // A deleted folder's subfolders were deleted before it, each with its own event: a tree of
    // a hundred thousand folders removed is not looked through once for each.
    if ((event.mask & IN_DELETE_SELF) != 0) {
        table_.DropWatch(folder);
        if (table_.Known(folder))
            Changed(folder);
        return;
    }
    if ((event.mask & IN_MOVE_SELF) != 0) {
        Forget(folder);
        return;
    }
    if ((event.mask & IN_ISDIR) != 0 && (event.mask & (IN_CREATE | IN_MOVED_TO)) != 0)
        Arrived(folder, name);
    if ((event.mask & IN_ISDIR) != 0 || pattern.Matches(name))
        Changed(folder);
}

void CFolderWatcher::Changed(std::uint32_t folder) {
    changed_.push_back(table_.Path(folder));
}

// A folder moved to a known name: every folder the catalog knew below that name is listed again.
void CFolderWatcher::ChangedBelow(std::uint32_t top) {
    for (std::uint32_t folder = 0; folder < table_.Size(); ++folder)
        if (table_.Known(folder) && table_.Within(folder, top))
            Changed(folder);
}

// The watches of the folder and of every folder below it go; each is listed again, where the
// catalog knew it, to find what is at its name now.
void CFolderWatcher::Forget(std::uint32_t top) {
    for (std::uint32_t folder = 0; folder < table_.Size(); ++folder) {
        if (!table_.Within(folder, top))
            continue;
        if (const int wd = table_.DropWatch(folder); wd >= 0)
            ::inotify_rm_watch(fd_, wd);
        if (table_.Known(folder))
            Changed(folder);
    }
}

// A folder created or moved in: any watch kept under its name followed another folder. The new
// one is watched at once, so that nothing put into it before the catalog lists it is missed;
// the next gathering takes the watch (the system gives the same descriptor for the same folder).
void CFolderWatcher::Arrived(std::uint32_t parent, std::string_view name) {
    if (const std::uint32_t known = table_.Child(parent, name); known != CWatchTable::kNone)
        Forget(known);
    std::string path = table_.Path(parent);
    if (path.back() != '/')
        path += '/';
    path += name;
    ::inotify_add_watch(fd_, path.c_str(), kEvents);
}

QString CFolderWatcher::PollNote(int seconds) {
    QString every;
    if (seconds == 1)
        every = CFrameStrings::Get(EStringId::EverySecond);
    else if (seconds == kSecondsPerMinute)
        every = CFrameStrings::Get(EStringId::EveryMinute);
    else if (seconds % kSecondsPerMinute == 0)
        every = CFrameStrings::Get(EStringId::EveryMinutes).arg(seconds / kSecondsPerMinute);
    else
        every = CFrameStrings::Get(EStringId::EverySeconds).arg(seconds);
    return CFrameStrings::Get(EStringId::MsgShareChecked).arg(every);
}

bool CFolderWatcher::Settled() const {
    return !gathering_ && look_ == nullptr && !doc_.LookPending();
}

// The look's result waits as a change does.
void CFolderWatcher::LookDone() {
    if (doc_.IsWalking() || QApplication::activeModalWidget() != nullptr ||
        QApplication::activePopupWidget() != nullptr) {
        lookTimer_.start();
        return;
    }
    doc_.FinishLook();
}

// A walk in progress reads everything anyway; the change waits for its end. So it does while a
// dialog or a menu is open: they may hold tracks that the re-read replaces.
void CFolderWatcher::Reread() {
    if (doc_.IsWalking() || QApplication::activeModalWidget() != nullptr ||
        QApplication::activePopupWidget() != nullptr) {
        timer_.start();
        return;
    }
    std::vector<std::string> folders;
    folders.swap(changed_);
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    doc_.RereadFolders(folders);
}
