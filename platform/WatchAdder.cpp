#include "platform/WatchAdder.h"

#include "platform/LowPriority.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>

namespace {

// Results are handed on in batches, a few a frame's time.
constexpr std::size_t kBatch = 2048;
constexpr std::int64_t kNsPerSecond = 1'000'000'000;

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * kNsPerSecond + time.tv_nsec;
}

} // namespace

CWatchAdder::CWatchAdder(int fd, std::uint32_t mask, const CWatchTable& table,
                         std::vector<std::uint32_t> folders, std::int64_t since,
                         std::function<void()> progress)
    : fd_(fd), mask_(mask), table_(table), folders_(std::move(folders)), results_(folders_.size()),
      since_(since), progress_(std::move(progress)), thread_([this] { Run(); }) {}

CWatchAdder::~CWatchAdder() {
    Stop();
}

void CWatchAdder::Stop() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable())
        thread_.join();
}

// A folder moved or replaced since it was listed is watched as what is at its name now; the
// events of that say the rest.
void CWatchAdder::Run() {
    CLowPriority::ForThisThread();
    std::string path;
    for (std::size_t at = 0; at < folders_.size() && !stop_.load(std::memory_order_relaxed);) {
        path.clear();
        table_.AppendPath(folders_[at], path);
        SResult& result = results_[at];
        result.wd = ::inotify_add_watch(fd_, path.c_str(), mask_);
        if (result.wd < 0)
            result.wd = -errno;
        struct stat status {};
        result.changed =
            result.wd >= 0 && since_ > 0 && folders_[at] != 0 &&
            ::stat(path.c_str(), &status) == 0 &&
            std::max(Nanoseconds(status.st_mtim), Nanoseconds(status.st_ctim)) >= since_;
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
