#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A few threads that open and read files for a walk, so that many requests are in flight where
// each one waits: a disk whose data is not in memory, or a share a network away. The threads
// start with the first job, not before: a walk whose data is in memory never asks for one.
// Folder listings go before file reads, so that the walk always knows what comes next.
class CReadPool {
public:
    using Job = std::function<void()>;

    static constexpr std::size_t kThreads = 32;

    // As many threads as the process's limit of open descriptors lets a walk keep busy: each
    // holds a file and its folder, and the walk holds a few more for each. None under a limit
    // of a few dozen: the walk then reads each file itself.
    explicit CReadPool(std::size_t threads = FittingThreads()) : size_(threads) {}
    CReadPool(const CReadPool&) = delete;
    CReadPool& operator=(const CReadPool&) = delete;
    // Jobs not yet begun are dropped; those running are waited for.
    ~CReadPool();

    void Post(Job job, bool first);
    std::size_t Size() const { return size_; }
    static std::size_t FittingThreads();
    // Each thread that allocates would get a heap of its own from the C library, which keeps
    // what was freed in it: the peak memory of a walk would then depend on which threads read
    // which files, and differ from run to run. One heap for all: the threads allocate little
    // and seldom, so they hardly ever wait for it. For `main`, before any thread starts.
    static void ShareOneHeap();

private:
    void StartThread();
    void Work();
    void RunAll();

    std::size_t size_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Job> jobs_;
    std::size_t idle_ = 0; // threads waiting for a job
    bool ending_ = false;
    std::vector<std::thread> threads_;
};
