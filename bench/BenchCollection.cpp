#include "bench/BenchCollection.h"

#include "bench/ProcessTimer.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Frame() {
    std::string bytes{'\xFF', '\xFB', '\x90', '\x64'};
    for (int i = 0; i < 413; ++i)
        bytes += static_cast<char>(0x20 + i % 64);
    return bytes;
}

std::string Tag(int index, int artist) {
    std::string block(128, ' ');
    const std::string title = "Title " + std::to_string(index);
    const std::string name = "Artist " + std::to_string(artist);
    const std::string album = "Album " + std::to_string(index / 12);
    block.replace(0, 3, "TAG");
    block.replace(3, title.size(), title);
    block.replace(33, name.size(), name);
    block.replace(63, album.size(), album);
    block.replace(93, 4, "2001");
    block[127] = static_cast<char>(index / 12 % 148); // one genre per album
    return block;
}

// An ID3v2.3 tag of 2 to 6 KB: a title frame, then padding.
std::string Id3v2(int index) {
    const std::size_t size = 2048 + static_cast<std::size_t>(index) * 131 % 4096;
    std::string tag = "ID3";
    tag += {'\x03', '\0', '\0'};
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += static_cast<char>(size >> shift & 0x7F);
    const std::string title = '\0' + std::string("Title ") + std::to_string(index);
    tag += "TIT2";
    tag += {'\0', '\0', '\0', static_cast<char>(title.size()), '\0', '\0'};
    tag += title;
    tag.resize(10 + size, '\0');
    return tag;
}

} // namespace

CBenchCollection::CBenchCollection(std::string root, int count, int artists)
    : root_(std::move(root)), count_(count) {
    // Albums of twelve tracks, the albums dealt out over the artists in turn.
    for (int i = 0; i < count_; ++i) {
        const int album = i / 12;
        paths_.push_back(root_ + "/Artist " + std::to_string(album % artists) + "/Album " +
                         std::to_string(album) + "/track" + std::to_string(i) + ".mp3");
    }
    if (!fs::exists(root_ + "/complete-v4"))
        Generate(artists);
}

void CBenchCollection::Generate(int artists) {
    fs::remove_all(root_);
    const std::string frame = Frame();
    for (int i = 0; i < count_; ++i) {
        const std::string& path = paths_[static_cast<std::size_t>(i)];
        fs::create_directories(fs::path(path).parent_path());
        const off_t size = 3000000 + (i % 97) * 20011;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::string tag = Tag(i, (i / 12) % artists);
        const std::string head = HasId3v2(i) ? Id3v2(i) + frame : frame;
        if (fd < 0 || ::pwrite(fd, head.data(), head.size(), 0) < 0 ||
            ::pwrite(fd, tag.data(), tag.size(), size - 128) < 0)
            std::perror(path.c_str());
        ::close(fd);
    }
    std::ofstream(root_ + "/complete-v4") << count_ << "\n";
}

double CBenchCollection::FloorSeconds() const {
    return BestSeconds(5, [this] {
        char tail[128];
        char head[4096];
        for (const std::string& path : paths_) {
            const int fd = ::open(path.c_str(), O_RDONLY);
            struct stat st {};
            if (fd < 0 || ::fstat(fd, &st) != 0 ||
                ::pread(fd, tail, sizeof tail, st.st_size - 128) < 0 ||
                ::pread(fd, head, sizeof head, 0) < 0)
                std::perror(path.c_str());
            ::close(fd);
        }
    });
}

// A page that is still to be written cannot be dropped: the data is synced first.
void CBenchCollection::DropPages() const {
    for (const std::string& path : paths_) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0 || ::fdatasync(fd) != 0 || ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) != 0)
            std::perror(path.c_str());
        ::close(fd);
    }
}

bool CBenchCollection::DropAllCaches() {
    ::sync();
    std::ofstream drop("/proc/sys/vm/drop_caches");
    drop << "3\n";
    drop.close();
    return static_cast<bool>(drop);
}

double CBenchCollection::CpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Processor time (user and system), not wall time: the numbers stay comparable on a machine
// that is busy with other work. The cache is warm, so no time goes to waiting for the disk.
double CBenchCollection::BestSeconds(int runs, const std::function<void()>& work) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double start = CpuSeconds();
        work();
        best = std::min(best, CpuSeconds() - start);
    }
    return best;
}

double CBenchCollection::BestToolSeconds(int runs, const std::vector<std::string>& command,
                                         const std::vector<std::string>& environment) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, CProcessTimer::Run(command, environment).cpu);
    return best;
}

void CBenchCollection::PrintRow(const std::string& what, double seconds, double floorSeconds,
                                const std::string& goal, bool met, const char* base) {
    std::printf("  %-44s %9.3f s  %-5s %8.3f s  ratio %5.2f  goal %-14s %s\n", what.c_str(),
                seconds, base, floorSeconds, seconds / floorSeconds, goal.c_str(),
                met ? "MET" : "MISSED");
}

void CBenchCollection::PrintInfoRow(const std::string& what, double seconds, double floorSeconds,
                                    const std::string& note) {
    std::printf("  %-44s %9.3f s  floor %8.3f s  ratio %5.2f  %s\n", what.c_str(), seconds,
                floorSeconds, seconds / floorSeconds, note.c_str());
}
