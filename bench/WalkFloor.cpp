// The floor of a walk: the least a program must do to list the tracks of a folder tree. It
// walks the folders (entries in name order, a folder's files before its subfolders), opens
// each "*.mp3" file, reads what a reader needs of it (CFloorTrack: its size, its last 128
// bytes, its ID3v2 texts and first audio frame) and prints one line with the fields the tool
// prints. Written with POSIX alone, apart from the program under test, and run as a process of
// its own as that program is.
//
// usage: WalkFloor [--read-ahead N | --threads N] ROOT
//   --read-ahead N   open the next N files ahead and ask the kernel for their head and tail
//   --threads N      uses N threads, each with one request in flight (CThreadedFloorWalk)
#include "bench/FloorTrack.h"
#include "bench/ThreadedFloorWalk.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr off_t kHeadAdvice = 16384;
constexpr off_t kTail = 128;

struct SOpenFile {
    std::string directory;
    std::string name;
    int fd;
};

class CFloorWalk {
public:
    explicit CFloorWalk(std::size_t readAhead) : readAhead_(readAhead) {}
    ~CFloorWalk() { Drain(0); }
    void Walk(int fd, std::string& path);

private:
    void Found(int dirFd, const std::string& path, const std::string& name);
    void Drain(std::size_t keep);
    void Read(const SOpenFile& file);

    std::size_t readAhead_;
    std::deque<SOpenFile> window_;
    std::string line_;
};

bool IsTrack(const char* name) {
    const std::size_t length = std::char_traits<char>::length(name);
    return length >= 4 && ::strcasecmp(name + length - 4, ".mp3") == 0;
}

// Takes the folder's descriptor and closes it.
void CFloorWalk::Walk(int fd, std::string& path) {
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return;
    }
    std::vector<std::pair<std::string, bool>> entries;
    while (const dirent* entry = ::readdir(dir))
        if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..")
            entries.emplace_back(entry->d_name, entry->d_type == DT_DIR);
    std::sort(entries.begin(), entries.end());
    for (const auto& [name, isFolder] : entries)
        if (!isFolder && IsTrack(name.c_str()))
            Found(fd, path, name);
    for (const auto& [name, isFolder] : entries) {
        const int child = isFolder ? ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY) : -1;
        if (child < 0)
            continue;
        const std::size_t length = path.size();
        path += '/';
        path += name;
        Walk(child, path);
        path.resize(length);
    }
    ::closedir(dir);
}

void CFloorWalk::Found(int dirFd, const std::string& path, const std::string& name) {
    SOpenFile file{path, name, ::openat(dirFd, name.c_str(), O_RDONLY)};
    if (readAhead_ == 0) {
        Read(file);
        return;
    }
    struct stat st {};
    if (file.fd >= 0 && ::fstat(file.fd, &st) == 0) {
        ::posix_fadvise(file.fd, 0, kHeadAdvice, POSIX_FADV_WILLNEED);
        ::posix_fadvise(file.fd, st.st_size - kTail, kTail, POSIX_FADV_WILLNEED);
    }
    window_.push_back(std::move(file));
    Drain(readAhead_);
}

void CFloorWalk::Drain(std::size_t keep) {
    for (; window_.size() > keep; window_.pop_front())
        Read(window_.front());
}

void CFloorWalk::Read(const SOpenFile& file) {
    line_.clear();
    if (!CFloorTrack::Read(file.fd, file.directory, file.name, line_)) {
        std::fprintf(stderr, "cannot read %s/%s\n", file.directory.c_str(), file.name.c_str());
        return;
    }
    std::fwrite(line_.data(), 1, line_.size(), stdout);
}

} // namespace

int main(int argc, char** argv) {
    std::size_t readAhead = 0;
    std::size_t threads = 0;
    const std::string option = argc == 4 ? argv[1] : "";
    if (option == "--read-ahead")
        readAhead = static_cast<std::size_t>(std::atoi(argv[2]));
    else if (option == "--threads")
        threads = static_cast<std::size_t>(std::atoi(argv[2]));
    else if (argc != 2)
        return std::fputs("usage: WalkFloor [--read-ahead N | --threads N] ROOT\n", stderr), 2;
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    std::string root = argv[argc - 1];
    if (threads > 0) {
        CThreadedFloorWalk(root, threads).Run();
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return std::perror(root.c_str()), 1;
    {
        CFloorWalk walk(readAhead);
        walk.Walk(fd, root);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
