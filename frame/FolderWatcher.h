#pragma once

#include "catalog/CatalogView.h"
#include "platform/FolderLook.h"
#include "platform/WatchTable.h"

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CAppSettings;
class CFilePattern;
class CQuavDoc;
struct inotify_event;

// Keeps the catalog current while the window is open: the folders of the address are watched
// (inotify), and a folder in which a track or a subfolder is added, removed, renamed or written
// is listed and read again a moment later (changes come in bursts: a copy of an album is many
// events), through the same per-folder update that an open uses. Other files are no concern:
// the snapshot the update writes does not wake it again. Where the system's limit of watches
// is reached, the folders left are not watched, and that is said once. Where changes are not
// looked for (CheckForChanges 0, the snapshot at face value), nothing is watched either.
//
// Watching costs the window nothing it waits for: the catalog's folders are gathered into the
// table in slices of a few milliseconds from the event loop, and their watches set on a thread
// (CFolderLook) whose results are taken in order. An event of a descriptor not yet taken waits
// for it, so none is lost or given to another folder.
//
// The open's own look for changes runs after the window shows the snapshot (CQuavDoc::DeferLooks):
// what it finds is applied from here as a re-read is.
//
// An address on a network share or a FUSE file system tells no watch of what another machine
// does: its folders are looked at every PollSeconds instead, on a thread of low priority, each
// one's time against the one the look before saw (the server's clock, which its clients may see
// late: only a difference counts), or for a folder not yet looked at against the rebuild's start
// (CFolderLook again); the changed ones are read again as after an event. That is said once. So
// are the folders of a share mounted below a local address, which the look that sets the watches
// finds.
class CFolderWatcher : public QObject, public CView {
    Q_OBJECT
public:
    CFolderWatcher(CQuavDoc& doc, const CAppSettings& settings, QObject* parent = nullptr);
    ~CFolderWatcher() override;

    // Watches the folders of the catalog as it now is; called after each rebuild.
    void Follow();
    std::size_t WatchCount() const { return table_.WatchCount(); }
    // Neither a gathering nor a look runs: every folder of the catalog has its watch (or the
    // system refused it).
    bool Settled() const;
    const CWatchTable& Table() const { return table_; }
    bool Polling() const { return polling_; }
    // What the status bar says of an address looked at every `seconds`.
    static QString PollNote(int seconds);
    // For tests: every address is looked at as a share's is.
    static void PollEverywhere(bool on) { pollEverywhere_ = on; }

    void OnUpdate(CView* sender, EHint hint, const TrackArray* tracks) override;

Q_SIGNALS:
    // The system refused to watch more folders; sent once per window.
    void LimitReached();
    // The address is on a share: it is looked at every `seconds`; sent once per address.
    void PollingStarted(int seconds);

private:
    struct SHeld {
        int wd;
        std::uint32_t mask;
        std::string name;
    };

    void Restart(std::string_view root, bool poll);
    void StopLook();
    void GatherSlice();
    void Gathered();
    void Merge();
    void TakeResult(std::uint32_t folder, const CFolderLook::SResult& result);
    void OnReadable();
    void Take(const inotify_event& event, std::string_view name, const CFilePattern& pattern);
    void Changed(std::uint32_t folder);
    void ChangedBelow(std::uint32_t top);
    void Forget(std::uint32_t folder);
    void Arrived(std::uint32_t parent, std::string_view name);
    void Reread();
    void LookDone();
    void Poll();
    void PollBelow();
    void Look(std::vector<std::uint32_t> folders, std::vector<std::int64_t> known,
              const CFolderLook::SOptions& options);

    CQuavDoc& doc_;
    const CAppSettings& settings_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    CWatchTable table_;
    // The gathering of the catalog's folders: the next record, and the folder of the one before.
    QTimer gatherTimer_;
    bool gathering_ = false;
    std::size_t gatherAt_ = 0;
    const char* lastFolder_ = nullptr;
    std::string base_;
    std::unique_ptr<CFolderLook> look_;
    bool lookIsPoll_ = false;
    std::size_t merged_ = 0;
    std::vector<SHeld> held_;
    // When the last rebuild began: a folder changed since then is listed again once watched; the
    // root, when its time is another than after the snapshot that rebuild wrote into it.
    std::int64_t rebuildAt_ = 0;
    QTimer timer_;
    // The open's own look for changes ended; it is applied once no dialog or menu is open.
    QTimer lookTimer_;
    std::vector<std::string> changed_;
    // The system refused a watch of this address; that is said once per window.
    bool limitHit_ = false;
    bool limitSaid_ = false;
    // Looking at a share: the next look's time, and when the look before began.
    bool polling_ = false;
    bool sharesBelow_ = false; // some folders, on a share mounted below the address
    QTimer pollTimer_;
    std::int64_t pollSince_ = 0;
    std::int64_t pollStart_ = 0;
    std::vector<std::int64_t> times_; // by folder: its time as the last look saw it, or 0
    static bool pollEverywhere_;
};
