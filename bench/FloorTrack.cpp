#include "bench/FloorTrack.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kRead = 4096;
constexpr std::size_t kTail = 128;

enum EText { Title, Artist, Album, Year, Comment, Genre, kTexts };

// The bytes read last: where they start in the file and how many came.
struct SBuffer {
    unsigned char bytes[kRead];
    off_t start = 0;
    std::size_t length = 0;

    bool Holds(off_t at, std::size_t count) const {
        return at >= start && at + static_cast<off_t>(count) <= start + static_cast<off_t>(length);
    }
    const unsigned char* At(off_t at) const { return bytes + (at - start); }
    bool Fill(int fd, off_t at) {
        const ssize_t got = ::pread(fd, bytes, sizeof bytes, at);
        start = at;
        length = got < 0 ? 0 : static_cast<std::size_t>(got);
        return got >= 0;
    }
};

std::uint32_t Be32(const unsigned char* b) {
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
}

std::uint32_t Syncsafe(const unsigned char* b) {
    return std::uint32_t{b[0] & 0x7Fu} << 21 | std::uint32_t{b[1] & 0x7Fu} << 14 |
           std::uint32_t{b[2] & 0x7Fu} << 7 | (b[3] & 0x7Fu);
}

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Text of an encoding (0 ISO-8859-1, 1 UTF-16 with a byte-order mark, 2 UTF-16BE, 3 UTF-8) up
// to its end or its terminator, as UTF-8. Returns the bytes taken, terminator included.
std::size_t Decode(int encoding, const unsigned char* b, std::size_t n, std::string& out) {
    out.clear();
    if (encoding == 0 || encoding == 3) {
        std::size_t i = 0;
        for (; i < n && b[i] != 0; ++i) {
            if (encoding == 0 && b[i] >= 0x80)
                AppendUtf8(out, b[i]);
            else
                out += static_cast<char>(b[i]);
        }
        return i < n ? i + 1 : i;
    }
    bool little = false;
    std::size_t i = 0;
    if (encoding == 1 && n >= 2 && (b[0] == 0xFF || b[0] == 0xFE)) {
        little = b[0] == 0xFF;
        i = 2;
    }
    for (; i + 1 < n; i += 2) {
        std::uint32_t u = little ? b[i] | b[i + 1] << 8 : b[i] << 8 | b[i + 1];
        if (u == 0)
            return i + 2;
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < n) {
            const std::uint32_t low = little ? b[i + 2] | b[i + 3] << 8 : b[i + 2] << 8 | b[i + 3];
            u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(out, u);
    }
    return n;
}

int Wanted(const unsigned char* id) {
    static constexpr struct {
        const char* id;
        EText text;
    } kFrames[] = {{"TIT2", Title}, {"TPE1", Artist},  {"TALB", Album}, {"TYER", Year},
                   {"TDRC", Year},  {"COMM", Comment}, {"TCON", Genre}};
    for (const auto& frame : kFrames)
        if (std::memcmp(id, frame.id, 4) == 0)
            return frame.text;
    return -1;
}

// The texts of an ID3v2.3 or 2.4 tag whose header is at the start of `buffer`. Frames are
// walked by their headers; a frame's body is read only when it holds a wanted text.
void ReadId3v2(int fd, SBuffer& buffer, off_t end, std::string (&texts)[kTexts], int& found) {
    const int version = buffer.bytes[3];
    off_t at = 10;
    if ((buffer.bytes[5] & 0x40) != 0 && buffer.length >= 14) // an extended header
        at += version == 4 ? Syncsafe(buffer.bytes + 10) : 4 + Be32(buffer.bytes + 10);
    while (found != (1 << kTexts) - 1 && at + 10 <= end) {
        if (!buffer.Holds(at, 10) && !buffer.Fill(fd, at))
            return;
        if (!buffer.Holds(at, 10) || buffer.At(at)[0] == 0) // padding
            return;
        const unsigned char* h = buffer.At(at);
        const std::uint32_t size = version == 4 ? Syncsafe(h + 4) : Be32(h + 4);
        const int text = Wanted(h);
        const off_t body = at + 10;
        at = body + static_cast<off_t>(size);
        if (text < 0 || (found & 1 << text) != 0 || size < 1 || size > kRead)
            continue;
        if (!buffer.Holds(body, size) && (!buffer.Fill(fd, body) || !buffer.Holds(body, size)))
            return;
        const unsigned char* b = buffer.At(body);
        std::size_t skip = 1;
        if (text == Comment) // language, then a description
            skip = size < 4 ? size : 4 + Decode(b[0], b + 4, size - 4, texts[text]);
        Decode(b[0], b + skip, size - skip, texts[text]);
        if (text == Year && texts[text].size() > 4)
            texts[text].resize(4);
        found |= 1 << text;
    }
}

void AppendNumber(std::string& line, long value) {
    char number[24];
    line.append(number, std::to_chars(number, number + sizeof number, value).ptr);
}

// An ID3v1 field up to its first NUL, without trailing blanks, ISO-8859-1 as UTF-8.
void AppendField(std::string& line, const unsigned char* field, std::size_t size) {
    std::size_t length = 0;
    while (length < size && field[length] != 0)
        ++length;
    while (length > 0 && field[length - 1] == ' ')
        --length;
    for (std::size_t i = 0; i < length; ++i)
        AppendUtf8(line, field[i]);
}

// kbit/s by version (MPEG-1; MPEG-2 and 2.5) and layer (I, II, III); sampling rates of MPEG-1
// (halved for MPEG-2, quartered for 2.5).
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

struct SAudio {
    std::uint32_t header = 0;
    int kbits = 0, hertz = 0;
    long seconds = 0;
};

// The first frame header at or after `start`, and its "Xing" counts when it has them; else the
// time of the audio's bytes at the header's bitrate.
SAudio ReadAudio(int fd, SBuffer& buffer, off_t start, off_t audioEnd) {
    SAudio audio;
    if (!buffer.Holds(start, 200) && !buffer.Fill(fd, start))
        return audio;
    const unsigned char* b = buffer.At(start);
    const std::size_t n = buffer.length - static_cast<std::size_t>(start - buffer.start);
    std::size_t i = 0;
    while (i + 4 <= n && !(b[i] == 0xFF && (b[i + 1] & 0xE0) == 0xE0))
        ++i;
    if (i + 4 > n)
        return audio;
    const std::uint32_t h = Be32(b + i);
    const unsigned version = h >> 19 & 3, layer = h >> 17 & 3, rate = h >> 10 & 3;
    if (version == 1 || layer == 0 || rate == 3)
        return audio;
    audio.header = h;
    audio.kbits = kKbits[version == 3 ? 0 : 1][3 - layer][h >> 12 & 15];
    audio.hertz = kHertz[rate] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    if (audio.kbits == 0)
        return audio;
    const bool mono = (h >> 6 & 3) == 3;
    const std::size_t xing = i + 4 + (version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    if (layer == 1 && xing + 16 <= n && std::memcmp(b + xing, "Xing", 4) == 0 &&
        (Be32(b + xing + 4) & 3) == 3) {
        const long samples = static_cast<long>(Be32(b + xing + 8)) * (version == 3 ? 1152 : 576);
        if (samples > 0) {
            audio.seconds = (samples + audio.hertz / 2) / audio.hertz;
            audio.kbits = static_cast<int>(static_cast<double>(Be32(b + xing + 12)) * 8 *
                                               audio.hertz / static_cast<double>(samples) / 1000 +
                                           0.5);
            return audio;
        }
    }
    const off_t bytes = audioEnd - start - static_cast<off_t>(i);
    audio.seconds = bytes * 8 / (audio.kbits * 1000L);
    return audio;
}

void AppendSize(std::string& line, off_t size) {
    const long tenths = (size / 1000 + 50) / 100;
    AppendNumber(line, tenths / 10);
    (line += '.') += static_cast<char>('0' + tenths % 10);
    line += " MB";
}

// Time, bitrate, sampling rate, mode, version and layer; empty where no header.
void AppendAudio(std::string& line, const SAudio& a) {
    AppendNumber(line, a.seconds / 60);
    (line += ':') += static_cast<char>('0' + a.seconds % 60 / 10);
    line += static_cast<char>('0' + a.seconds % 10);
    line += '\t';
    if (a.kbits == 0) {
        line += "\t\t\t";
        return;
    }
    AppendNumber(line, a.kbits);
    line += " kbit/s\t";
    AppendNumber(line, a.hertz / 1000);
    (line += '.') += static_cast<char>('0' + a.hertz / 100 % 10);
    line += " kHz\t";
    line.append(kModes[a.header >> 6 & 3]) += '\t';
    line.append(kVersions[a.header >> 19 & 3]).append(kLayers[a.header >> 17 & 3]);
}

} // namespace

bool CFloorTrack::Read(int fd, std::string_view folder, std::string_view name, std::string& line) {
    struct stat st {};
    unsigned char tail[kTail] = {};
    SBuffer buffer;
    const bool read = fd >= 0 && ::fstat(fd, &st) == 0 && st.st_size >= off_t{kTail} &&
                      ::pread(fd, tail, kTail, st.st_size - off_t{kTail}) == off_t{kTail} &&
                      buffer.Fill(fd, 0);
    if (!read) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    const bool hasId3v1 = std::memcmp(tail, "TAG", 3) == 0;
    const off_t audioEnd = st.st_size - (hasId3v1 ? off_t{kTail} : 0);
    std::string texts[kTexts];
    int found = 0;
    off_t start = 0;
    const unsigned char* h = buffer.bytes;
    if (buffer.length >= 10 && std::memcmp(h, "ID3", 3) == 0 && (h[3] == 3 || h[3] == 4)) {
        start = 10 + static_cast<off_t>(Syncsafe(h + 6)) + ((h[5] & 0x10) != 0 ? 10 : 0);
        ReadId3v2(fd, buffer, start, texts, found);
    }
    const SAudio audio = ReadAudio(fd, buffer, start, audioEnd);
    ::close(fd);

    // The tool's fields: file, artist, title, folder, size, album, genre, year, comment, time,
    // bitrate, sampling rate, mode, version and layer.
    const auto text = [&](EText which, std::size_t at, std::size_t size) {
        if ((found & 1 << which) != 0)
            line += texts[which];
        else if (hasId3v1)
            AppendField(line, tail + at, size);
    };
    line += name;
    line += '\t';
    text(Artist, 33, 30);
    line += '\t';
    text(Title, 3, 30);
    (line += '\t').append(folder) += '\t';
    AppendSize(line, st.st_size);
    line += '\t';
    text(Album, 63, 30);
    line += '\t';
    if ((found & 1 << Genre) != 0)
        line += texts[Genre];
    else if (hasId3v1)
        AppendNumber(line, tail[127]);
    line += '\t';
    text(Year, 93, 4);
    line += '\t';
    text(Comment, 97, 30);
    line += '\t';
    AppendAudio(line, audio);
    line += '\n';
    return true;
}
