#pragma once

#include "platform/WatchTable.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

// Sets the watches of a list of folders on a thread of its own, so that a hundred thousand
// folders never hold up the window: each folder's descriptor (or error) is put in its place in
// the list, and Done() says how many places are filled, so the results are taken in the list's
// order. A folder whose time is at or after `since` changed before its watch was set, and says
// so: what was put into it then came too early for an event. The root's time is not looked at:
// the snapshot written into it changes it.
//
// The table's names must not change while the thread runs: Make nothing until Stop.
class CWatchAdder {
public:
    struct SResult {
        int wd = -1; // the descriptor, or minus the system's error number
        bool changed = false;
    };

    // `progress` is called on the thread now and then, and once at its end.
    CWatchAdder(int fd, std::uint32_t mask, const CWatchTable& table,
                std::vector<std::uint32_t> folders, std::int64_t since,
                std::function<void()> progress);
    ~CWatchAdder();
    CWatchAdder(const CWatchAdder&) = delete;
    CWatchAdder& operator=(const CWatchAdder&) = delete;

    // Ends the thread after the folder it is at; the results so far stay.
    void Stop();
    const std::vector<std::uint32_t>& Folders() const { return folders_; }
    // The results before this place may be read.
    std::size_t Done() const { return done_.load(std::memory_order_acquire); }
    // True once the thread is over: at the list's end, stopped, or out of watches (ENOSPC).
    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    const SResult& Result(std::size_t at) const { return results_[at]; }

private:
    void Run();

    int fd_;
    std::uint32_t mask_;
    const CWatchTable& table_;
    std::vector<std::uint32_t> folders_;
    std::vector<SResult> results_;
    std::int64_t since_;
    std::function<void()> progress_;
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
