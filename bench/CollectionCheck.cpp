// Compares what quavero-scan prints for the realistic collection with the values a correct
// reader gives (the collection's .expected.tsv), and prints the mismatches by field. A time
// matches when it is less than a second from the exact one (rounded or cut, either is fine); a
// bitrate when its kbit/s are equal. The track number is in the expected values but the tool
// prints none.
//
// usage: CollectionCheck DATA-FOLDER QUAVERO-SCAN [TRACKS]   (default 20000)
#include "bench/RealisticCollection.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unordered_map>
#include <vector>

namespace {

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == '\t')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// The tool writes a tab, line end or backslash inside a field as \t, \n, \r, \\.
std::string Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

// "m:ss" or "h:mm:ss".
long Seconds(const std::string& time) {
    long total = 0, part = 0;
    for (const char c : time) {
        if (c == ':') {
            total = (total + part) * 60;
            part = 0;
        } else {
            part = part * 10 + (c - '0');
        }
    }
    return total + part;
}

bool RunTo(const std::string& output, const std::vector<std::string>& command) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv;
    for (const std::string& a : command)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    int status = 0;
    const bool started =
        ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return started && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The tool's fields (File, Artist, Title, Location, Size, Album, Genre, Date, Comment, Time,
// Bitrate, ...) against the expected columns (path, title, artist, album, year, genre, track,
// comment, seconds, kbit/s, audio, id3v1).
enum EField { Title, Artist, Album, Year, Genre, Comment, Time, Bitrate, kFields };
constexpr std::array<const char*, kFields> kNames{"title", "artist",  "album", "year",
                                                  "genre", "comment", "time",  "bitrate"};
constexpr std::array<int, kFields> kTool{2, 1, 5, 7, 6, 8, 9, 10};
constexpr std::array<int, kFields> kExpected{1, 2, 3, 4, 5, 7, 8, 9};

struct SCount {
    long mismatches = 0;
    long withId3v1 = 0; // of which in files that also have an ID3v1 tag
    long cbr = 0;       // of which constant bitrate
    std::string example;
};

bool Matches(int field, const std::string& got, const std::string& want) {
    if (field == Time)
        return std::fabs(static_cast<double>(Seconds(got)) - std::atof(want.c_str())) < 1.0;
    if (field == Bitrate)
        return std::atoi(got.c_str()) == std::atoi(want.c_str());
    return got == want;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return std::fputs("usage: CollectionCheck DATA-FOLDER QUAVERO-SCAN [TRACKS]\n", stderr), 2;
    const std::string data = argv[1];
    const std::size_t tracks = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 20000;
    const CRealisticCollection collection(data + "/real" + std::to_string(tracks / 1000) + "k",
                                          tracks);
    const std::string output = data + "/check-output.tsv";
    const std::string profile = "QUAVERO_PROFILE=" + data + "/bench.ini";
    ::putenv(const_cast<char*>(profile.c_str()));
    if (!RunTo(output, {argv[2], "--refresh", "--no-save", collection.Root()}))
        return std::fprintf(stderr, "%s failed on %s\n", argv[2], collection.Root().c_str()), 1;

    std::unordered_map<std::string, std::vector<std::string>> printed;
    std::ifstream in(output);
    std::string line;
    std::getline(in, line); // the labels
    while (std::getline(in, line)) {
        auto fields = Split(line);
        if (fields.size() < 14)
            continue;
        for (std::string& f : fields)
            f = Unescaped(f);
        printed[fields[3] + '/' + fields[0]] = std::move(fields);
    }
    std::array<SCount, kFields> counts{};
    long missing = 0, checked = 0;
    std::ifstream expected(collection.ExpectedPath());
    std::getline(expected, line);
    while (std::getline(expected, line)) {
        const auto want = Split(line);
        const auto found = printed.find(collection.Root() + '/' + want[0]);
        if (found == printed.end()) {
            ++missing;
            continue;
        }
        ++checked;
        for (int f = 0; f < kFields; ++f) {
            const std::string& got = found->second[static_cast<std::size_t>(kTool[f])];
            const std::string& value = want[static_cast<std::size_t>(kExpected[f])];
            if (Matches(f, got, value))
                continue;
            SCount& c = counts[static_cast<std::size_t>(f)];
            ++c.mismatches;
            c.withId3v1 += want[11] == "id3v1" ? 1 : 0;
            c.cbr += want[10] != "vbr" ? 1 : 0;
            if (c.example.empty())
                c.example = "\"" + got + "\" for \"" + value + "\"";
        }
    }
    std::printf("Expected values: %ld of %zu tracks printed by the tool, %ld missing\n", checked,
                collection.Count(), missing);
    for (int f = 0; f < kFields; ++f) {
        const SCount& c = counts[static_cast<std::size_t>(f)];
        std::printf("  %-8s %7ld mismatches (%ld with an ID3v1 tag, %ld constant bitrate)%s%s\n",
                    kNames[static_cast<std::size_t>(f)], c.mismatches, c.withId3v1, c.cbr,
                    c.example.empty() ? "" : "  e.g. ", c.example.c_str());
    }
    std::remove(output.c_str());
    return 0;
}
