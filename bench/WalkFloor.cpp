// The floor of a walk: the least a program must do to list the tracks of a folder tree. It
// walks the folders (entries in name order, a folder's files before its subfolders), opens
// each "*.mp3" file, reads its last 128 bytes and 4096 bytes from the start (from after an
// ID3v2 tag when there is one), closes it and prints one line with what the tool prints: the
// ID3v1 fields and the first frame header's bitrate, sampling rate, mode and version. Written
// with POSIX alone, apart from the program under test, and run as a process of its own as that
// program is.
//
// usage: WalkFloor [--read-ahead N] ROOT
//   --read-ahead N   open the next N files ahead and ask the kernel for their head and tail
#include <algorithm>
#include <charconv>
#include <cstdint>
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

constexpr std::size_t kHead = 4096;
constexpr std::size_t kTail = 128;
constexpr off_t kHeadAdvice = 16384;

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
        ::posix_fadvise(file.fd, st.st_size - static_cast<off_t>(kTail), kTail,
                        POSIX_FADV_WILLNEED);
    }
    window_.push_back(std::move(file));
    Drain(readAhead_);
}

void CFloorWalk::Drain(std::size_t keep) {
    for (; window_.size() > keep; window_.pop_front())
        Read(window_.front());
}

// An ID3v2 tag: "ID3", two version bytes, flags, then a size in four 7-bit bytes.
off_t AudioStart(const unsigned char* h, ssize_t got) {
    if (got < 10 || h[0] != 'I' || h[1] != 'D' || h[2] != '3')
        return 0;
    return 10 + ((h[6] & 0x7F) << 21 | (h[7] & 0x7F) << 14 | (h[8] & 0x7F) << 7 | (h[9] & 0x7F));
}

// A tag field up to its first NUL, without trailing blanks.
void AppendField(std::string& line, const unsigned char* field, std::size_t size) {
    std::size_t length = 0;
    while (length < size && field[length] != 0)
        ++length;
    while (length > 0 && field[length - 1] == ' ')
        --length;
    line += '\t';
    line.append(reinterpret_cast<const char*>(field), length);
}

void AppendNumber(std::string& line, long value) {
    char number[24];
    line.append(number, std::to_chars(number, number + sizeof number, value).ptr);
}

// kbit/s of the MPEG audio header's bitrate index, by version (MPEG-1, MPEG-2 and 2.5) and
// layer (I, II, III); sampling rates of MPEG-1 (halved for MPEG-2, quartered for 2.5).
constexpr short kKbits[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr int kHertz[3] = {44100, 48000, 32000};
constexpr const char* kModes[4] = {"Stereo", "Joint stereo", "Dual channel", "Mono"};
constexpr const char* kVersions[4] = {"MPEG-2.5", "", "MPEG-2", "MPEG-1"};
constexpr const char* kLayers[4] = {"", " Layer III", " Layer II", " Layer I"};

// The header's fields as the line shows them: size in MB, playing time, bitrate, sampling
// rate, mode, version and layer. A header that is none leaves them empty.
void AppendAudio(std::string& line, std::uint32_t h, off_t size) {
    const unsigned version = h >> 19 & 3, layer = h >> 17 & 3, rate = h >> 10 & 3;
    const int kbits = (h >> 21) != 0x7FF || version == 1 || layer == 0 || rate == 3
                          ? 0
                          : kKbits[version == 3 ? 0 : 1][3 - layer][h >> 12 & 15];
    const long sizeK = (size - static_cast<off_t>(kTail)) / 1000;
    const long tenths = (sizeK + 50) / 100;
    line += '\t';
    AppendNumber(line, tenths / 10);
    (line += '.') += static_cast<char>('0' + tenths % 10);
    line += " MB\t";
    const long seconds = kbits == 0 ? 0 : sizeK * 8 / kbits;
    AppendNumber(line, seconds / 60);
    (line += ':') += static_cast<char>('0' + seconds % 60 / 10);
    line += static_cast<char>('0' + seconds % 10);
    line += '\t';
    if (kbits == 0) {
        line += "\t\t\t";
        return;
    }
    AppendNumber(line, kbits);
    line += " kbit/s\t";
    const int hertz = kHertz[rate] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    AppendNumber(line, hertz / 1000);
    (line += '.') += static_cast<char>('0' + hertz / 100 % 10);
    line += " kHz\t";
    line.append(kModes[h >> 6 & 3]) += '\t';
    line.append(kVersions[version]).append(kLayers[layer]);
}

void CFloorWalk::Read(const SOpenFile& file) {
    unsigned char head[kHead] = {};
    unsigned char tail[kTail] = {};
    struct stat st {};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0) {
        std::fprintf(stderr, "cannot open %s/%s\n", file.directory.c_str(), file.name.c_str());
        return;
    }
    const off_t size = st.st_size;
    if (::pread(file.fd, tail, kTail, size - static_cast<off_t>(kTail)) < 0)
        std::perror(file.name.c_str());
    const off_t start = AudioStart(head, ::pread(file.fd, head, kHead, 0));
    if (start > 0 && ::pread(file.fd, head, kHead, start) < 0)
        std::perror(file.name.c_str());
    ::close(file.fd);
    line_ = file.name;
    for (std::size_t offset : {33, 3})
        AppendField(line_, tail + offset, 30);
    (line_ += '\t') += file.directory;
    const std::uint32_t header = std::uint32_t{head[0]} << 24 | std::uint32_t{head[1]} << 16 |
                                 std::uint32_t{head[2]} << 8 | head[3];
    AppendAudio(line_, header, size);
    for (std::size_t offset : {63, 93, 97})
        AppendField(line_, tail + offset, offset == 93 ? 4 : 30);
    line_ += '\t';
    AppendNumber(line_, tail[127]);
    line_ += '\n';
    std::fwrite(line_.data(), 1, line_.size(), stdout);
}

} // namespace

int main(int argc, char** argv) {
    std::size_t readAhead = 0;
    if (argc == 4 && std::string(argv[1]) == "--read-ahead")
        readAhead = static_cast<std::size_t>(std::atoi(argv[2]));
    else if (argc != 2)
        return std::fputs("usage: WalkFloor [--read-ahead N] ROOT\n", stderr), 2;
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    std::string root = argv[argc - 1];
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return std::perror(root.c_str()), 1;
    {
        CFloorWalk walk(readAhead);
        walk.Walk(fd, root);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
