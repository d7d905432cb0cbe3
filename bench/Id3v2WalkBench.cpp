// The hidden cost of the newer readers: a warm walk of files that all start with an ID3v2 tag of
// 4 to 40 KB (texts, a third of them in UTF-16, and a picture frame, first or last), half of
// them with an ID3v1 tag too, with the exact VBR time and the ID3v2 texts on, against the walk's
// floor reading the same tags (WalkFloor, a process of its own that reads the head and tail of
// each file and the frames of its ID3v2 tag, each text over the ID3v1 field). Goal: at most 1.3
// times the floor, in processor time, best of paired runs. The same walk with both settings off
// is shown beside the same floor.
#include "bench/ProcessTimer.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 5000;
constexpr int kRuns = 9;
constexpr double kGoal = 1.3;

std::string SyncSafe(std::size_t size) {
    std::string bytes;
    for (int shift = 21; shift >= 0; shift -= 7)
        bytes += static_cast<char>(size >> shift & 0x7F);
    return bytes;
}

// ISO-8859-1, or UTF-16 with a byte-order mark for every third file.
std::string TextFrame(const char* id, const std::string& text, bool wide,
                      const std::string& prefix = {}) {
    std::string body(1, wide ? '\1' : '\0');
    body += prefix;
    if (wide) {
        body += "\xFF\xFE";
        for (const char c : text)
            body += {c, '\0'};
    } else {
        body += text;
    }
    std::string frame(id);
    frame += {'\0', '\0', static_cast<char>(body.size() >> 8), static_cast<char>(body.size())};
    frame += {'\0', '\0'};
    return frame + body;
}

// An ID3v2.3 tag of 4 to 40 KB: seven texts and a picture frame that fills the rest.
std::string Id3v2(int index) {
    const std::size_t size = 4096 + static_cast<std::size_t>(index) * 7919 % (36 * 1024);
    const bool wide = index % 3 == 0;
    const std::string comment = wide ? std::string("eng\xFF\xFE\0\0", 7) : std::string("eng\0", 4);
    std::string texts = TextFrame("TIT2", "Title " + std::to_string(index), wide) +
                        TextFrame("TPE1", "Artist " + std::to_string(index / 120), wide) +
                        TextFrame("TALB", "Album " + std::to_string(index / 12), wide) +
                        TextFrame("TYER", "2001", wide) + TextFrame("TCON", "(17)", wide) +
                        TextFrame("TRCK", std::to_string(index % 12 + 1) + "/12", wide) +
                        TextFrame("COMM", "Ripped", wide, comment);
    const std::size_t pictureSize = size - texts.size() - 10;
    std::string picture = "APIC";
    for (int shift = 24; shift >= 0; shift -= 8)
        picture += static_cast<char>(pictureSize >> shift & 0xFF);
    picture += {'\0', '\0'};
    picture += std::string("\0image/jpeg\0\3\0", 14);
    picture.resize(10 + pictureSize, '\x5A');
    const std::string frames = index % 2 == 0 ? picture + texts : texts + picture;
    return "ID3" + std::string{'\x03', '\0', '\0'} + SyncSafe(frames.size()) + frames;
}

// Half the files end in an ID3v1 tag, as taggers that write both leave them.
std::string Id3v1(int index) {
    std::string tag = "TAG";
    for (const std::string& text : {"Title " + std::to_string(index), std::string("Artist"),
                                    "Album " + std::to_string(index / 12)})
        tag += (text + std::string(30, ' ')).substr(0, 30);
    tag += "2001" + std::string(28, ' ') + '\0' + static_cast<char>(index % 12 + 1) + '\x11';
    return tag;
}

std::string AudioFrame() {
    std::string bytes{'\xFF', '\xFB', '\x90', '\x64'};
    for (int i = 0; i < 413; ++i)
        bytes += static_cast<char>(0x20 + i % 64);
    return bytes;
}

void Generate(const std::string& root) {
    if (fs::exists(root + "/complete-v2"))
        return;
    fs::remove_all(root);
    const std::string frame = AudioFrame();
    for (int i = 0; i < kFiles; ++i) {
        const std::string folder = root + "/Album " + std::to_string(i / 12);
        fs::create_directories(folder);
        const std::string path = folder + "/track" + std::to_string(i) + ".mp3";
        const std::string head = Id3v2(i) + frame;
        const off_t size = 3000000 + (i % 97) * 20011;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::string tail = i % 2 == 1 ? Id3v1(i) : std::string();
        if (fd < 0 || ::pwrite(fd, head.data(), head.size(), 0) < 0 || ::ftruncate(fd, size) != 0 ||
            ::pwrite(fd, tail.data(), tail.size(), size - static_cast<off_t>(tail.size())) < 0)
            std::perror(path.c_str());
        ::close(fd);
    }
    std::ofstream(root + "/complete-v2") << kFiles << "\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: Id3v2WalkBench DATA-FOLDER QUAVERO-SCAN WALK-FLOOR\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string root = data + "/id3v2-5k";
    Generate(root);
    const auto profile = [&](const char* name, int on) {
        const std::string path = data + "/" + name;
        std::ofstream(path) << "[AdvancedOptions]\nExactVbrTime=" << on << "\nReadId3v2=" << on
                            << "\n";
        return std::vector<std::string>{"QUAVERO_PROFILE=" + path};
    };
    const auto on = profile("id3v2-on.ini", 1);
    const auto off = profile("id3v2-off.ini", 0);
    double tool = 1e30, today = 1e30, floor = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        tool =
            std::min(tool, CProcessTimer::Run({argv[2], "--refresh", "--no-save", root}, on).cpu);
        floor = std::min(floor, CProcessTimer::Run({argv[3], root}, {}).cpu);
        today =
            std::min(today, CProcessTimer::Run({argv[2], "--refresh", "--no-save", root}, off).cpu);
    }
    std::printf("ID3v2 collection: %d files, each behind a 4-40 KB ID3v2 tag with a picture, half "
                "with an ID3v1 tag too\n",
                kFiles);
    std::printf("  %-44s %8.3f ms  floor %8.3f ms  ratio %5.2f  goal <= %.1f  %s\n",
                "walk, both readers on: processor time", tool * 1e3, floor * 1e3, tool / floor,
                kGoal, tool / floor <= kGoal ? "MET" : "MISSED");
    std::printf("  %-44s %8.3f ms  floor %8.3f ms  ratio %5.2f  (for information)\n",
                "walk, both readers off, against the same floor", today * 1e3, floor * 1e3,
                today / floor);
    return 0;
}
