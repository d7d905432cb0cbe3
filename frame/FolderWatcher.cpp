#include "frame/FolderWatcher.h"

#include "catalog/CheckLevel.h"
#include "catalog/FilePattern.h"
#include "catalog/QuavDoc.h"
#include "settings/AppSettings.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>
#include <unordered_set>

namespace {

// Long enough to gather the events of one copy or save, short enough to show it within 2 s.
constexpr int kDelayMs = 300;
// Entries added, removed, renamed, or written and closed; the folder itself going away.
constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

CFolderWatcher::CFolderWatcher(CQuavDoc& doc, const CAppSettings& settings, QObject* parent)
    : QObject(parent), doc_(doc), settings_(settings),
      fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &CFolderWatcher::Reread);
    if (fd_ < 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &CFolderWatcher::OnReadable);
}

CFolderWatcher::~CFolderWatcher() {
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

void CFolderWatcher::Follow() {
    if (fd_ < 0)
        return;
    const bool watching = CheckLevel(settings_.CheckForChanges) != ECheckLevel::None;
    const std::vector<std::string> folders =
        watching ? doc_.WatchedFolders() : std::vector<std::string>();
    const std::unordered_set<std::string> wanted(folders.begin(), folders.end());
    for (auto it = watchOf_.begin(); it != watchOf_.end();) {
        if (wanted.contains(it->first)) {
            ++it;
            continue;
        }
        ::inotify_rm_watch(fd_, it->second);
        folderOf_.erase(it->second);
        it = watchOf_.erase(it);
    }
    for (const std::string& folder : folders) {
        if (limitSaid_)
            return;
        if (watchOf_.contains(folder))
            continue;
        const int wd = ::inotify_add_watch(fd_, folder.c_str(), kEvents);
        if (wd >= 0) {
            folderOf_[wd] = folder;
            watchOf_[folder] = wd;
        } else if (errno == ENOSPC) {
            limitSaid_ = true;
            Q_EMIT LimitReached();
        }
    }
}

// Events name the entry; only tracks and subfolders matter. A watch follows its folder, not its
// name: a folder moved away or deleted takes its watches along, and one that appears at a
// known name is another folder, whose subfolders the catalog knows only by name.
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

void CFolderWatcher::Take(const inotify_event& event, std::string_view name,
                          const CFilePattern& pattern) {
    if ((event.mask & IN_Q_OVERFLOW) != 0) {
        for (const auto& [wd, folder] : folderOf_)
            changed_.push_back(folder);
    }
    const auto found = folderOf_.find(event.wd);
    if (found == folderOf_.end())
        return;
    const std::string folder = found->second;
    if ((event.mask & IN_IGNORED) != 0) {
        watchOf_.erase(folder);
        folderOf_.erase(found);
        return;
    }
    if ((event.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) != 0) {
        Forget(folder);
        return;
    }
    if ((event.mask & IN_ISDIR) != 0 && (event.mask & (IN_CREATE | IN_MOVED_TO)) != 0)
        Arrived(folder, name);
    if ((event.mask & IN_ISDIR) != 0 || pattern.Matches(name))
        changed_.push_back(folder);
}

// The watches of the folder and of every folder below it go; each is listed again, where the
// catalog knew it, to find what is at its name now.
void CFolderWatcher::Forget(const std::string& folder) {
    const std::string below = folder == "/" ? folder : folder + '/';
    for (auto it = watchOf_.begin(); it != watchOf_.end();) {
        if (it->first != folder && !it->first.starts_with(below)) {
            ++it;
            continue;
        }
        ::inotify_rm_watch(fd_, it->second);
        folderOf_.erase(it->second);
        changed_.push_back(it->first);
        it = watchOf_.erase(it);
    }
}

// A folder created or moved in: any watch kept under its name followed another folder. The new
// one is watched at once, so that nothing put into it before the catalog lists it is missed;
// Follow files the watch (the system gives the same descriptor for the same folder).
void CFolderWatcher::Arrived(const std::string& parent, std::string_view name) {
    std::string path = parent == "/" ? parent : parent + '/';
    path += name;
    Forget(path);
    ::inotify_add_watch(fd_, path.c_str(), kEvents);
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
