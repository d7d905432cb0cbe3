#pragma once

#include <QObject>
#include <QSet>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CAppSettings;
class CFilePattern;
struct inotify_event;
class CQuavDoc;

// Keeps the catalog current while the window is open: the folders of the address are watched
// (inotify), and a folder in which a track or a subfolder is added, removed, renamed or written
// is listed and read again a moment later (changes come in bursts: a copy of an album is many
// events), through the same per-folder update that an open uses. Other files are no concern:
// the snapshot the update writes does not wake it again. Where the system's limit of watches
// is reached, the folders left are not watched, and that is said once. Where changes are not
// looked for (CheckForChanges 0, the snapshot at face value), nothing is watched either.
class CFolderWatcher : public QObject {
    Q_OBJECT
public:
    CFolderWatcher(CQuavDoc& doc, const CAppSettings& settings, QObject* parent = nullptr);
    ~CFolderWatcher() override;

    // Watches the folders of the catalog as it now is; called after each rebuild.
    void Follow();
    std::size_t WatchCount() const { return folderOf_.size(); }

Q_SIGNALS:
    // The system refused to watch more folders; sent once per window.
    void LimitReached();

private:
    void OnReadable();
    void Take(const inotify_event& event, std::string_view name, const CFilePattern& pattern);
    void Forget(const std::string& folder);
    void Arrived(const std::string& parent, std::string_view name);
    void Reread();

    CQuavDoc& doc_;
    const CAppSettings& settings_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unordered_map<int, std::string> folderOf_; // by watch descriptor
    std::unordered_map<std::string, int> watchOf_;
    QTimer timer_;
    std::vector<std::string> changed_;
    bool limitSaid_ = false;
};
