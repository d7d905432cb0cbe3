#include "bench/ThreadedFloorWalk.h"

#include "bench/FloorTrack.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <strings.h>
#include <thread>
#include <unistd.h>

namespace {

bool IsTrack(std::string_view name) {
    return name.size() >= 4 && ::strcasecmp(name.data() + name.size() - 4, ".mp3") == 0;
}

} // namespace

CThreadedFloorWalk::CThreadedFloorWalk(std::string root, std::size_t threads)
    : threads_(std::max<std::size_t>(threads, 1)) {
    root_.path = std::move(root);
}

void CThreadedFloorWalk::Run() {
    tasks_.push_back({&root_, kList});
    std::vector<std::thread> pool;
    for (std::size_t i = 0; i < threads_; ++i)
        pool.emplace_back([this] { Work(); });
    for (std::thread& thread : pool)
        thread.join();
    Print(root_);
}

void CThreadedFloorWalk::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !tasks_.empty() || busy_ == 0; });
        if (tasks_.empty())
            return;
        const STask task = tasks_.front();
        tasks_.pop_front();
        ++busy_;
        lock.unlock();
        if (task.file == kList) {
            List(*task.folder);
        } else {
            SFolder& folder = *task.folder;
            const std::string& name = folder.files[task.file];
            const int fd = ::open((folder.path + '/' + name).c_str(), O_RDONLY | O_CLOEXEC);
            if (!CFloorTrack::Read(fd, folder.path, name, folder.lines[task.file]))
                std::fprintf(stderr, "cannot read %s/%s\n", folder.path.c_str(), name.c_str());
        }
        lock.lock();
        --busy_;
        if (busy_ == 0 && tasks_.empty())
            changed_.notify_all();
    }
}

// Lists a folder; its subfolders go to the front of the work, its files to the back.
void CThreadedFloorWalk::List(SFolder& folder) {
    DIR* dir = ::opendir(folder.path.c_str());
    if (dir == nullptr)
        return;
    std::vector<std::pair<std::string, bool>> entries;
    while (const dirent* entry = ::readdir(dir))
        if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..")
            entries.emplace_back(entry->d_name, entry->d_type == DT_DIR);
    ::closedir(dir);
    std::sort(entries.begin(), entries.end());
    for (auto& [name, isFolder] : entries) {
        if (isFolder) {
            folder.children.push_back(std::make_unique<SFolder>());
            folder.children.back()->path = folder.path + '/' + name;
        } else if (IsTrack(name)) {
            folder.files.push_back(std::move(name));
        }
    }
    folder.lines.resize(folder.files.size());
    const std::lock_guard lock(mutex_);
    for (auto child = folder.children.rbegin(); child != folder.children.rend(); ++child)
        tasks_.push_front({child->get(), kList});
    for (std::size_t i = 0; i < folder.files.size(); ++i)
        tasks_.push_back({&folder, i});
    changed_.notify_all();
}

void CThreadedFloorWalk::Print(const SFolder& folder) {
    for (const std::string& line : folder.lines)
        std::fwrite(line.data(), 1, line.size(), stdout);
    for (const auto& child : folder.children)
        Print(*child);
}
