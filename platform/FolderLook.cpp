#include "platform/FolderLook.h"

#include "platform/FileSystemKind.h"
#include "platform/LowPriority.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <utility>

namespace {

// Results are handed on in batches.
constexpr std::size_t kBatch = 2048;
constexpr std::int64_t kNsPerSecond = 1'000'000'000;

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * kNsPerSecond + time.tv_nsec;
}

} // namespace

CFolderLook::CFolderLook(const CWatchTable& table, std::vector<std::uint32_t> folders,
                         std::vector<std::int64_t> known, SOptions options,
                         std::function<void()> progress)
    : table_(table), folders_(std::move(folders)), known_(std::move(known)),
      results_(folders_.size()), options_(std::move(options)), progress_(std::move(progress)),
      thread_([this] { Run(); }) {}

CFolderLook::~CFolderLook() {
    Stop();
}

void CFolderLook::Stop() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable())
        thread_.join();
}

// A folder changes when an entry is added, removed or renamed in it; its change time counts
// too, as a folder moved into place keeps the modification time it had elsewhere.
void CFolderLook::LookAt(const char* path, std::size_t at) {
    const std::int64_t known = at < known_.size() ? known_[at] : 0;
    const bool snapshotRoot = folders_[at] == 0 && known == 0 && !options_.rootSnapshot.empty();
    const std::int64_t since = options_.since;
    if (since <= 0 && known == 0 && !options_.findShares)
        return;
    SResult& result = results_[at];
    struct stat status {};
    if (::stat(path, &status) != 0 || !S_ISDIR(status.st_mode)) {
        result.changed = since > 0 || known != 0;
        return;
    }
    if (options_.findShares && status.st_dev != rootDevice_)
        result.shared = Shared(status.st_dev, path);
    if (since <= 0 && known == 0)
        return;
    result.time = std::max(Nanoseconds(status.st_mtim), Nanoseconds(status.st_ctim));
    result.changed = known != 0 ? result.time != known : result.time >= since;
    if (result.changed && snapshotRoot) {
        struct stat snapshot {};
        const std::string file = std::string(path) + '/' + options_.rootSnapshot;
        result.changed =
            ::lstat(file.c_str(), &snapshot) != 0 || result.time > Nanoseconds(snapshot.st_ctim);
    }
    result.moved = result.changed && Nanoseconds(status.st_ctim) > Nanoseconds(status.st_mtim);
}

bool CFolderLook::Shared(dev_t device, const char* path) {
    if (device != lastDevice_) {
        lastDevice_ = device;
        lastShared_ = CFileSystemKind::IsShared(CFileSystemKind::TypeOf(path));
    }
    return lastShared_;
}

// A folder moved or replaced since it was listed is watched as what is at its name now; the
// events of that say the rest.
void CFolderLook::Run() {
    CLowPriority::ForThisThread();
    std::string path;
    struct stat root {};
    if (options_.findShares && ::stat(std::string(table_.Root()).c_str(), &root) == 0)
        rootDevice_ = lastDevice_ = root.st_dev;
    for (std::size_t at = 0; at < folders_.size() && !stop_.load(std::memory_order_relaxed);) {
        path.clear();
        table_.AppendPath(folders_[at], path);
        SResult& result = results_[at];
        if (options_.fd >= 0) {
            result.wd = ::inotify_add_watch(options_.fd, path.c_str(), options_.mask);
            if (result.wd < 0)
                result.wd = -errno;
        }
        if (result.wd != -ENOSPC)
            LookAt(path.c_str(), at);
        done_.store(++at, std::memory_order_release);
        if (result.wd == -ENOSPC)
            break;
        if (at % kBatch == 0 && progress_)
            progress_();
    }
    finished_.store(true, std::memory_order_release);
    if (progress_)
        progress_();
}
