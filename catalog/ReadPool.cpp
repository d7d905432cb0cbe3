#include "catalog/ReadPool.h"

#include <algorithm>
#include <malloc.h>
#include <sys/resource.h>
#include <system_error>

namespace {

// Kept for the walk's own chain of folders, the snapshot and the profile.
constexpr rlim_t kReserved = 64;
// Held by each thread at most: its file, its folder, two listings and their folders.
constexpr rlim_t kPerThread = 8;

} // namespace

std::size_t CReadPool::FittingThreads() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return kThreads;
    const rlim_t spare = limit.rlim_cur > kReserved ? limit.rlim_cur - kReserved : 0;
    return std::min<std::size_t>(spare / kPerThread, kThreads);
}

void CReadPool::ShareOneHeap() {
#ifdef M_ARENA_MAX
    ::mallopt(M_ARENA_MAX, 1);
#endif
}

CReadPool::~CReadPool() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
        jobs_.clear();
    }
    ready_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

// A thread is added while fewer run than jobs wait, up to the pool's size: a collection of a
// few files starts a few threads.
void CReadPool::Post(Job job, bool first) {
    bool grow = false;
    {
        const std::lock_guard lock(mutex_);
        if (first)
            jobs_.push_front(std::move(job));
        else
            jobs_.push_back(std::move(job));
        grow = threads_.size() < size_ && idle_ < jobs_.size();
    }
    if (grow)
        StartThread();
    if (threads_.empty()) // none allowed, or none to be had: the jobs run here, in order
        RunAll();
    ready_.notify_one();
}

// A process or memory limit may refuse a thread: the threads already there, or the caller, run
// the jobs.
void CReadPool::StartThread() {
    try {
        threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        return;
    }
}

void CReadPool::RunAll() {
    std::unique_lock lock(mutex_);
    while (!jobs_.empty()) {
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

void CReadPool::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        ready_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
        --idle_;
        if (ending_)
            return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}
