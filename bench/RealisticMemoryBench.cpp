// Memory per track of the tool on the realistic collection: peak resident memory less the
// peak on an empty folder, per track, less the track's own texts (file name, title, artist,
// album, year, comment: what it must keep whatever its layout). Two goals, side by side, for
// the walk (--refresh --no-save), the walk that saves its snapshot (--refresh) and the open of
// that snapshot (--no-save), at 100,000 tracks and, with BENCH_LARGE=1, at 1,000,000:
//   - at most 100 bytes in every run, not only in the best: the least and the most of the runs
//     are shown. The walk is also measured reading every file on the pool's threads
//     (QUAVERO_READ_AHEAD=always), as it does where the files are not in memory;
//   - the same tracks with the rarer frames in every tag (album artist, disc; on some the
//     compilation flag, sort names and listed artists): at most 24 bytes a track more than
//     today's, where today is TODAY-SCAN (the tool of the program before) on those files when
//     given, else this tool on the collection without them.
// Also the walk with its save against the walk alone: goal at most 1.10 times its peak at
// 1,000,000 tracks (shown for information at 100,000). Every run files the groups, as the
// window does; the programs take turns, run after run.
//
// usage: RealisticMemoryBench DATA-FOLDER QUAVERO-SCAN [TODAY-SCAN]
#include "bench/PairedRuns.h"
#include "bench/ProcessTimer.h"
#include "bench/RealisticCollection.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double kGoalBytes = 100;
constexpr double kCreditsGoalBytes = 24;
constexpr double kSaveGoal = 1.10;
// The tool files the groups only when it prints them; the window always holds them, so they
// are measured too. The album groups hold their artists: the largest of the three lists.
constexpr const char* kGroups = "--groups";
constexpr const char* kAlbum = "album";
constexpr const char* kOnThreads = "QUAVERO_READ_AHEAD=always";

struct SContext {
    std::string scan;
    std::string today; // empty: this tool on the collection without the rarer frames
    std::vector<std::string> environment;
    long emptyWalkKb = 0, emptyOpenKb = 0;
};

// The least and the most peak of a command's runs.
struct SPeaks {
    long leastKb = -1;
    long mostKb = -1;
    void Add(long kb) {
        leastKb = leastKb < 0 ? kb : std::min(leastKb, kb);
        mostKb = std::max(mostKb, kb);
    }
};

struct SRun {
    std::vector<std::string> command;
    std::vector<std::string> environment;
};

// Each round runs every command once, in turn.
std::vector<SPeaks> Run(int rounds, const std::vector<SRun>& runs) {
    std::vector<SPeaks> peaks(runs.size());
    for (int round = 0; round < rounds; ++round)
        for (std::size_t i = 0; i < runs.size(); ++i)
            peaks[i].Add(CProcessTimer::Run(runs[i].command, runs[i].environment).peakKb);
    return peaks;
}

double PerTrack(long kb, std::size_t tracks) {
    return static_cast<double>(kb) * 1024.0 / static_cast<double>(tracks);
}

const char* Verdict(bool met) {
    return met ? "MET" : "MISSED";
}

// One row: the bytes over the own texts in the least and the most run; then, where measured,
// what the rarer frames add against today's, in the most runs of both.
void PrintRow(const char* what, const SPeaks& plain, long emptyKb, std::size_t tracks, double own,
              const SPeaks* credited, const SPeaks* today) {
    const double least = PerTrack(plain.leastKb - emptyKb, tracks) - own;
    const double most = PerTrack(plain.mostKb - emptyKb, tracks) - own;
    std::printf("  %-16s %4.0f .. %4.0f  goal <= %.0f  %-6s", what, least, most, kGoalBytes,
                Verdict(most <= kGoalBytes));
    if (credited != nullptr && today != nullptr) {
        const double more = PerTrack(credited->mostKb - today->mostKb, tracks);
        const double moreLeast = PerTrack(credited->leastKb - today->leastKb, tracks);
        std::printf("  %+5.0f (least runs %+4.0f)  goal <= %.0f  %s", more, moreLeast,
                    kCreditsGoalBytes, Verdict(more <= kCreditsGoalBytes));
    }
    std::printf("\n");
}

void Measure(const SContext& c, const std::string& data, const char* size, std::size_t count,
             int rounds) {
    const CRealisticCollection plain(data + "/real" + size, count);
    const CRealisticCollection credited(data + "/real" + size + "-credits", count, true);
    const std::string& root = plain.Root();
    const std::string& creditRoot = credited.Root();
    std::vector<std::string> onThreads = c.environment;
    onThreads.emplace_back(kOnThreads);
    // Per program and folder in turn: the walk, the walk that saves, the open of what it saved.
    const auto three = [](const std::string& scan, const std::string& at,
                          const std::vector<std::string>& environment) {
        const auto line = [&](std::vector<std::string> kind) {
            std::vector<std::string> command{scan, kGroups, kAlbum};
            command.insert(command.end(), kind.begin(), kind.end());
            command.push_back(at);
            return SRun{command, environment};
        };
        return std::vector<SRun>{line({"--refresh", "--no-save"}), line({"--refresh"}),
                                 line({"--no-save"})};
    };
    std::vector<SRun> runs = three(c.scan, root, c.environment);
    for (const auto& more :
         {three(c.scan, creditRoot, c.environment),
          c.today.empty() ? std::vector<SRun>{} : three(c.today, creditRoot, c.environment)})
        runs.insert(runs.end(), more.begin(), more.end());
    runs.push_back({{c.scan, kGroups, kAlbum, "--refresh", "--no-save", root}, onThreads});
    std::vector<SPeaks> peaks = Run(rounds, runs);
    const SPeaks onPool = peaks.back();
    peaks.pop_back();
    if (c.today.empty()) { // this tool on the files without the rarer frames stands in
        const std::vector<SPeaks> standIn(peaks.begin(), peaks.begin() + 3);
        peaks.insert(peaks.end(), standIn.begin(), standIn.end());
    }
    const double own = plain.OwnTextBytesPerTrack();
    std::printf(" %zu tracks, own texts %.0f bytes a track on average, %d runs each; bytes a "
                "track over the own texts, least .. most run; beside it what the rarer frames "
                "add against %s (most runs)\n",
                count, own, rounds, c.today.empty() ? "this tool without them" : c.today.c_str());
    PrintRow("walk", peaks[0], c.emptyWalkKb, count, own, &peaks[3], &peaks[6]);
    PrintRow("walk on threads", onPool, c.emptyWalkKb, count, own, nullptr, nullptr);
    PrintRow("walk and save", peaks[1], c.emptyWalkKb, count, own, &peaks[4], &peaks[7]);
    PrintRow("snapshot open", peaks[2], c.emptyOpenKb, count, own, &peaks[5], &peaks[8]);
    const double save = static_cast<double>(peaks[1].mostKb) / static_cast<double>(peaks[0].mostKb);
    std::printf("  %-16s peak %ld KiB, walk alone %ld KiB (most runs): ratio %.2f  goal <= %.2f%s  "
                "%s\n",
                "walk and save", peaks[1].mostKb, peaks[0].mostKb, save, kSaveGoal,
                count >= 1000000 ? "" : " (at 1,000,000)",
                count < 1000000 ? "" : Verdict(save <= kSaveGoal));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: RealisticMemoryBench DATA-FOLDER QUAVERO-SCAN [TODAY-SCAN]\n");
        return 2;
    }
    const std::string data = argv[1];
    SContext c{argv[2], argc > 3 ? argv[3] : "", {"QUAVERO_PROFILE=" + data + "/bench.ini"}};
    const std::string empty = data + "/empty";
    std::filesystem::create_directories(empty);
    const auto emptyRuns =
        CPairedRuns::Run(3,
                         {{c.scan, kGroups, kAlbum, "--refresh", "--no-save", empty},
                          {c.scan, kGroups, kAlbum, "--refresh", empty}},
                         c.environment, [] {});
    c.emptyWalkKb = emptyRuns[0].peakKb;
    c.emptyOpenKb = CPairedRuns::Run(3, {{c.scan, kGroups, kAlbum, "--no-save", empty}},
                                     c.environment, [] {})[0]
                        .peakKb;
    std::printf("Realistic memory: peak resident memory less that of an empty folder (%ld KiB "
                "walking, %ld KiB opening)\n",
                c.emptyWalkKb, c.emptyOpenKb);
    Measure(c, data, "100k", 100000, 5);
    const char* large = std::getenv("BENCH_LARGE");
    if (large != nullptr && std::string(large) == "1")
        Measure(c, data, "1000k", 1000000, 2);
    else
        std::printf(" 1,000,000 tracks: not measured; BENCH_LARGE=1 measures them (the first "
                    "run makes 1,000,000 sparse files, about 13 GB on disk, for each of the two "
                    "collections)\n");
    return 0;
}
