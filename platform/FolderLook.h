#pragma once

#include "platform/WatchTable.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

// A look at a list of the table's folders on a thread of its own, so that a hundred thousand
// folders never hold up the window: with an inotify descriptor each folder's watch is set, and
// each folder's time is looked at. A folder whose time differs from the one known of it (a
// network share's time is the server's, and a client may see it late: only a difference
// counts), or without a known time one at or after `since`, or gone, says so.
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
        // The file the catalog's snapshot is written to in the root, whose every write changes
        // the root's time: where no time of the root is known, the root changed when its time
        // is past `since` and past that file's own change time (a write renames it into place,
        // which stamps both alike). Empty: the root is looked at as any folder.
        std::string rootSnapshot;
        // Tell the folders on a network share mounted below the root.
        bool findShares = false;
    };
    struct SResult {
        int wd = -1; // the descriptor, or minus the system's error number
        bool changed = false;
        // Changed, and its change time is past its modification time: the folder itself was
        // moved (to this name, say), not an entry in it, and what lies below it is another
        // folder's.
        bool moved = false;
        // On another file system than the root's, one a watch hears nothing of (findShares).
        bool shared = false;
        std::int64_t time = 0; // the later of its modification and change times; 0 when gone
    };

    // `known`: the folders' times as last seen, 0 for none; empty when none is known.
    // The time of a folder's stat, as the rest of the look's, whatever its clock.
    // `progress` is called on the thread now and then, and once at its end.
    CFolderLook(const CWatchTable& table, std::vector<std::uint32_t> folders,
                std::vector<std::int64_t> known, SOptions options, std::function<void()> progress);
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
    void LookAt(const char* path, std::size_t at);
    bool Shared(dev_t device, const char* path);

    const CWatchTable& table_;
    std::vector<std::uint32_t> folders_;
    std::vector<std::int64_t> known_;
    std::vector<SResult> results_;
    SOptions options_;
    std::function<void()> progress_;
    // The root's device, and the last other device met (one mount's folders come together).
    dev_t rootDevice_ = 0;
    dev_t lastDevice_ = 0;
    bool lastShared_ = false;
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
