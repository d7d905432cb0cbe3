// The floor of a walk: the least a program must do to list the tracks of a folder tree. It
// walks the folders (entries in name order, a folder's files before its subfolders), opens
// each "*.mp3" file, reads its last 128 bytes and 4096 bytes from the start (from after an
// ID3v2 tag when there is one), closes it and prints one line with what the tool prints: the
// ID3v1 fields with the ID3v1.1 track number and the first frame header's bitrate, sampling
// rate, mode and version. Written with POSIX alone, apart from the program under test, and run
// as a process of its own as that program is.
//
// usage: WalkFloor [--read-ahead N] [--id3v2] ROOT
//   --read-ahead N   open the next N files ahead and ask the kernel for their head and tail
//   --id3v2          also read the texts of a leading ID3v2 tag (title, artist, album, year,
//                    comment, genre, track), each over the ID3v1 field: the frames' headers from
//                    the bytes at hand or read past them, a wanted frame's body, never a picture
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
    CFloorWalk(std::size_t readAhead, bool id3v2) : readAhead_(readAhead), id3v2_(id3v2) {}
    ~CFloorWalk() { Drain(0); }
    void Walk(int fd, std::string& path);

private:
    void Found(int dirFd, const std::string& path, const std::string& name);
    void Drain(std::size_t keep);
    void Read(const SOpenFile& file);

    std::size_t readAhead_;
    bool id3v2_;
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
std::string_view Field(const unsigned char* field, std::size_t size) {
    std::size_t length = 0;
    while (length < size && field[length] != 0)
        ++length;
    while (length > 0 && field[length - 1] == ' ')
        --length;
    return {reinterpret_cast<const char*>(field), length};
}

// The texts of an ID3v2 tag, by field: title, artist, album, year, comment, genre, track.
struct STexts {
    std::string field[7];
};

void AppendUtf8(std::string& out, unsigned c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A frame's first string: ISO-8859-1 and UTF-8 as they are, UTF-16 as UTF-8. Returns where
// the string's terminator ends.
std::size_t Decode(unsigned encoding, const unsigned char* p, std::size_t n, std::string& out) {
    out.clear();
    if (encoding == 1 || encoding == 2) {
        std::size_t i = 0;
        bool little = encoding == 1;
        if (n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
            little = p[0] == 0xFF;
            i = 2;
        }
        for (; i + 1 < n; i += 2) {
            const unsigned c = little ? p[i] | p[i + 1] << 8 : p[i] << 8 | p[i + 1];
            if (c == 0)
                return i + 2;
            AppendUtf8(out, c);
        }
        return n;
    }
    std::size_t i = 0;
    while (i < n && p[i] != 0)
        ++i;
    out.assign(reinterpret_cast<const char*>(p), i);
    return i < n ? i + 1 : n;
}

// The frames of an ID3v2.3 or 2.4 tag: headers from the 4096 bytes at hand or read past them in
// runs of 4096 bytes, and only the bodies of the wanted frames.
void ReadId3v2(int fd, const unsigned char* head, std::size_t headLength, std::size_t end,
               STexts& texts) {
    static constexpr const char* kIds[] = {"TIT2", "TPE1", "TALB", "TYER", "COMM", "TCON", "TRCK"};
    const int version = head[3];
    unsigned char run[4096];
    std::size_t runStart = 0, runLength = 0;
    const auto bytes = [&](std::size_t at, std::size_t n) -> const unsigned char* {
        if (at + n <= headLength)
            return head + at;
        if (at < runStart || at + n > runStart + runLength) {
            const ssize_t got = ::pread(fd, run, sizeof run, static_cast<off_t>(at));
            runStart = at;
            runLength = got > 0 ? static_cast<std::size_t>(got) : 0;
        }
        return at + n <= runStart + runLength ? run + (at - runStart) : nullptr;
    };
    std::string text;
    for (std::size_t at = 10; at + 10 <= end;) {
        const unsigned char* h = bytes(at, 10);
        if (h == nullptr || h[0] < 'A' || h[0] > 'Z')
            return;
        const std::size_t size =
            version == 4
                ? (h[4] & 0x7F) << 21 | (h[5] & 0x7F) << 14 | (h[6] & 0x7F) << 7 | (h[7] & 0x7F)
                : static_cast<std::size_t>(h[4]) << 24 | h[5] << 16 | h[6] << 8 | h[7];
        int wanted = -1;
        for (int k = 0; k < 7; ++k)
            if (std::string_view(reinterpret_cast<const char*>(h), 4) == kIds[k] ||
                (k == 3 && std::string_view(reinterpret_cast<const char*>(h), 4) == "TDRC"))
                wanted = k;
        const std::size_t bodyAt = at + 10;
        at = bodyAt + size;
        if (wanted < 0 || size < 2 || size > sizeof run || !texts.field[wanted].empty())
            continue;
        const unsigned char* body = bytes(bodyAt, size);
        if (body == nullptr)
            return;
        std::size_t skip = 1;
        if (wanted == 4) // language, then the description
            skip = 4 + Decode(body[0], body + 4, size - 4, text);
        Decode(body[0], body + skip, size - skip, texts.field[wanted]);
        if (wanted == 3 && texts.field[3].size() > 4)
            texts.field[3].resize(4);
    }
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
    const ssize_t got = ::pread(file.fd, head, kHead, 0);
    const off_t start = AudioStart(head, got);
    STexts texts;
    if (id3v2_ && start > 0 && (head[3] == 3 || head[3] == 4))
        ReadId3v2(file.fd, head, static_cast<std::size_t>(got), static_cast<std::size_t>(start),
                  texts);
    if (start > 0 && ::pread(file.fd, head, kHead, start) < 0)
        std::perror(file.name.c_str());
    ::close(file.fd);
    const bool v1 = tail[0] == 'T' && tail[1] == 'A' && tail[2] == 'G';
    // Each ID3v2 text over the ID3v1 field; the ID3v1.1 track number when there is no other.
    const auto field = [&](int k, std::size_t offset, std::size_t width) {
        line_ += '\t';
        if (!texts.field[k].empty())
            line_ += texts.field[k];
        else if (v1)
            line_ += Field(tail + offset, width);
    };
    line_ = file.name;
    field(1, 33, 30);
    field(0, 3, 30);
    (line_ += '\t') += file.directory;
    const std::uint32_t header = std::uint32_t{head[0]} << 24 | std::uint32_t{head[1]} << 16 |
                                 std::uint32_t{head[2]} << 8 | head[3];
    AppendAudio(line_, header, size);
    field(2, 63, 30);
    field(3, 93, 4);
    field(4, 97, 30);
    line_ += '\t';
    if (!texts.field[5].empty())
        line_ += texts.field[5];
    else
        AppendNumber(line_, tail[127]);
    line_ += '\t';
    if (!texts.field[6].empty())
        line_ += texts.field[6].substr(0, texts.field[6].find('/'));
    else if (v1 && tail[125] == 0 && tail[126] != 0)
        AppendNumber(line_, tail[126]);
    line_ += '\n';
    std::fwrite(line_.data(), 1, line_.size(), stdout);
}

} // namespace

int main(int argc, char** argv) {
    std::size_t readAhead = 0;
    bool id3v2 = false;
    int at = 1;
    for (; at + 1 < argc; ++at) {
        const std::string_view option = argv[at];
        if (option == "--read-ahead" && at + 2 < argc)
            readAhead = static_cast<std::size_t>(std::atoi(argv[++at]));
        else if (option == "--id3v2")
            id3v2 = true;
        else
            break;
    }
    if (at != argc - 1)
        return std::fputs("usage: WalkFloor [--read-ahead N] [--id3v2] ROOT\n", stderr), 2;
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    std::string root = argv[at];
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return std::perror(root.c_str()), 1;
    {
        CFloorWalk walk(readAhead, id3v2);
        walk.Walk(fd, root);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
