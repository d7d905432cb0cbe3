#include "bench/RealisticCollection.h"

#include "bench/RealisticFile.h"
#include "bench/RealisticPlanner.h"

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ftw.h>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kMarker = "/complete-v1";
constexpr std::size_t kBatch = 4096;
constexpr unsigned kWriters = 4;

// Seconds with three decimals, the rest of a line of the expected values.
void AppendExpected(std::string& out, const SRealisticTrack& t) {
    const char* kinds[] = {"vbr", "cbr-info", "cbr"};
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", t.Seconds());
    for (const std::string* text : {&t.folder, &t.fileName})
        (out += *text) += text == &t.folder ? '/' : '\t';
    for (const std::string* text : {&t.title, &t.artist, &t.album, &t.year})
        (out += *text) += '\t';
    (out += t.GenreName()) += '\t';
    (out += std::to_string(t.track)) += '\t';
    (out += t.comment) += '\t';
    (out += seconds) += '\t';
    (out += std::to_string(t.ShownKilobits())) += '\t';
    (out += kinds[static_cast<int>(t.audio)]) += '\t';
    out += t.hasId3v1 ? "id3v1\n" : "\n";
}

} // namespace

CRealisticCollection::CRealisticCollection(std::string root, std::size_t count, bool credits,
                                           bool pictures)
    : root_(std::move(root)), count_(count), credits_(credits), pictures_(pictures) {
    std::ifstream marker(root_ + kMarker);
    std::size_t made = 0;
    if (!(marker >> made) || made != count_)
        Generate();
}

void CRealisticCollection::ForEach(const std::function<void(const SRealisticTrack&)>& visit) const {
    CRealisticPlanner planner(23, credits_, pictures_);
    SRealisticTrack track;
    for (std::size_t i = 0; i < count_; ++i) {
        planner.Next(track);
        visit(track);
    }
}

double CRealisticCollection::OwnTextBytesPerTrack() const {
    std::size_t total = 0;
    ForEach([&total](const SRealisticTrack& t) { total += t.OwnTextBytes(); });
    return static_cast<double>(total) / static_cast<double>(count_);
}

// The tracks are drawn in batches; the folders of a batch are made first, then its files are
// written by a few threads (creating files is mostly waiting for the file system).
void CRealisticCollection::Generate() const {
    fs::remove_all(root_);
    fs::create_directories(root_);
    std::ofstream expected(ExpectedPath(), std::ios::binary | std::ios::trunc);
    expected << "path\ttitle\tartist\talbum\tyear\tgenre\ttrack\tcomment\tseconds\tkbit/s\taudio\t"
                "id3v1\n";
    CRealisticPlanner planner(23, credits_, pictures_);
    std::vector<SRealisticTrack> batch(kBatch);
    std::atomic<bool> failed{false};
    std::string lastFolder, lines;
    for (std::size_t done = 0; done < count_;) {
        const std::size_t n = std::min(kBatch, count_ - done);
        lines.clear();
        for (std::size_t i = 0; i < n; ++i) {
            planner.Next(batch[i]);
            if (batch[i].folder != lastFolder)
                fs::create_directories(root_ + '/' + batch[i].folder);
            lastFolder = batch[i].folder;
            AppendExpected(lines, batch[i]);
        }
        std::atomic<std::size_t> next{0};
        std::vector<std::thread> writers;
        for (unsigned w = 0; w < kWriters; ++w)
            writers.emplace_back([&] {
                for (std::size_t i; (i = next++) < n;) {
                    const SRealisticTrack& t = batch[i];
                    const std::string path = root_ + '/' + t.folder + '/' + t.fileName;
                    if (!CRealisticFile::Write(path, t) && !failed.exchange(true))
                        std::perror(path.c_str());
                }
            });
        for (std::thread& w : writers)
            w.join();
        expected << lines;
        done += n;
        if (count_ >= 100000 || done == count_)
            std::fprintf(stderr, "\r  generating %s: %zu of %zu files", root_.c_str(), done,
                         count_);
    }
    std::fputc('\n', stderr);
    expected.close();
    if (failed || !expected) {
        std::fprintf(stderr, "generating %s failed\n", root_.c_str());
        return;
    }
    std::ofstream(root_ + kMarker) << count_ << "\n";
}

namespace {

int DropFile(const char* path, const struct stat*, int type, FTW*) {
    if (type != FTW_F)
        return 0;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fdatasync(fd) != 0 || ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) != 0)
        std::perror(path);
    if (fd >= 0)
        ::close(fd);
    return 0;
}

} // namespace

void CRealisticCollection::DropPages() const {
    ::nftw(root_.c_str(), DropFile, 64, FTW_PHYS);
}
