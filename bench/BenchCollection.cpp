#include "bench/BenchCollection.h"

#include <algorithm>
#include <cstdio>
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

} // namespace

CBenchCollection::CBenchCollection(std::string root, int count, int artists)
    : root_(std::move(root)), count_(count) {
    // Albums of twelve tracks, the albums dealt out over the artists in turn.
    for (int i = 0; i < count_; ++i) {
        const int album = i / 12;
        paths_.push_back(root_ + "/Artist " + std::to_string(album % artists) + "/Album " +
                         std::to_string(album) + "/track" + std::to_string(i) + ".mp3");
    }
    if (!fs::exists(root_ + "/complete-v3"))
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
        if (fd < 0 || ::pwrite(fd, frame.data(), frame.size(), 0) < 0 ||
            ::pwrite(fd, tag.data(), tag.size(), size - 128) < 0)
            std::perror(path.c_str());
        ::close(fd);
    }
    std::ofstream(root_ + "/complete-v3") << count_ << "\n";
}

double CBenchCollection::FloorSeconds() const {
    return BestSeconds(3, [this] {
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

double CBenchCollection::BestSeconds(int runs, const std::function<void()>& work) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

void CBenchCollection::PrintRow(const std::string& what, double seconds, double floorSeconds,
                                const std::string& goal, bool met) {
    std::printf("  %-44s %9.3f s  floor %8.3f s  ratio %5.2f  goal %-14s %s\n", what.c_str(),
                seconds, floorSeconds, seconds / floorSeconds, goal.c_str(),
                met ? "MET" : "MISSED");
}
