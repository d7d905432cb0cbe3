#pragma once

#include "platform/WatchTable.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

// A look at a list of the table's folders on a thread of its own, so that a hundred thousand
// folders never hold up the window: with an inotify descriptor each folder's watch is set, and
// each folder's time is set against `since`: a folder changed at or after it, or gone, says so.
// Each result is put in its place in the list and Done() says how many places are filled, so
// the results are taken in the list's order.
//
// The table's names must not change while the thread runs: Make nothing until Stop.
class CFolderLook {
public:
    struct SOptions {
        int fd = -1;            // inotify: watches are set; -1 looks at the times alone
        std::uint32_t mask = 0; // the events watched
        std::int64_t since = 0; // 0: the times are not looked at
        // The root's own time: the snapshot written into it changes it.
        std::int64_t rootSince = 0;
    };
    struct SResult {
        int wd = -1; // the descriptor, or minus the system's error number
        bool changed = false;
    };

    // `progress` is called on the thread now and then, and once at its end.
    CFolderLook(const CWatchTable& table, std::vector<std::uint32_t> folders, SOptions options,
                std::function<void()> progress);
    ~CFolderLook();
    CFolderLook(const CFolderLook&) = delete;
    CFolderLook& operator=(const CFolderLook&) = delete;

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
    bool Changed(const char* path, std::uint32_t folder) const;

    const CWatchTable& table_;
    std::vector<std::uint32_t> folders_;
    std::vector<SResult> results_;
    SOptions options_;
    std::function<void()> progress_;
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
