// Memory per track of the tool on the realistic collection: peak resident memory less the
// peak on an empty folder, per track, less the track's own texts (file name, title, artist,
// album, year, comment: what it must keep whatever its layout). Goal: at most 100 bytes, for
// the walk (--refresh --no-save) and for the snapshot open (--no-save), at 100,000 tracks and,
// with BENCH_LARGE=1, at 1,000,000. Also the walk with its save (--refresh) against the walk
// alone: goal at most 1.10 times its peak at 1,000,000 tracks (shown for information at
// 100,000). Each peak is the least of a few runs. Every run files the groups, as the window does.
// Then the same tracks with the rarer frames in every tag (album artist, disc; on some the
// compilation flag, sort names and listed artists): goal at most 24 bytes a track more than
// today's, walking and opening, where today is TODAY-SCAN (the tool of the program before)
// when given, else this tool on the collection without them.
//
// usage: RealisticMemoryBench DATA-FOLDER QUAVERO-SCAN [TODAY-SCAN]
#include "bench/PairedRuns.h"
#include "bench/RealisticCollection.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double kGoalBytes = 100;
constexpr double kSaveGoal = 1.10;
// The tool files the groups only when it prints them; the window always holds them, so they
// are measured too. The album groups hold their artists: the largest of the three lists.
constexpr const char* kGroups = "--groups";
constexpr const char* kAlbum = "album";

struct SContext {
    std::string scan;
    std::vector<std::string> environment;
    long emptyWalkKb = 0, emptyOpenKb = 0;
};

void PrintPerTrack(const char* what, long peakKb, long emptyKb, std::size_t tracks, double own) {
    const double perTrack =
        static_cast<double>(peakKb - emptyKb) * 1024.0 / static_cast<double>(tracks);
    const double rest = perTrack - own;
    std::printf("  %-22s %6.0f bytes/track - own texts %3.0f = %4.0f  (peak %ld KiB)  "
                "goal <= %.0f  %s\n",
                what, perTrack, own, rest, peakKb, kGoalBytes,
                rest <= kGoalBytes ? "MET" : "MISSED");
}

void Measure(const SContext& c, const CRealisticCollection& collection, int rounds) {
    const std::string& root = collection.Root();
    const double own = collection.OwnTextBytesPerTrack();
    const std::size_t tracks = collection.Count();
    std::printf(" %zu tracks (own texts %.0f bytes a track on average; least peak of %d runs)\n",
                tracks, own, rounds);
    // In turn: the walk alone, the walk that saves the snapshot, the open of that snapshot.
    const auto best = CPairedRuns::Run(rounds,
                                       {{c.scan, kGroups, kAlbum, "--refresh", "--no-save", root},
                                        {c.scan, kGroups, kAlbum, "--refresh", root},
                                        {c.scan, kGroups, kAlbum, "--no-save", root}},
                                       c.environment, [] {});
    PrintPerTrack("walk", best[0].peakKb, c.emptyWalkKb, tracks, own);
    PrintPerTrack("snapshot open", best[2].peakKb, c.emptyOpenKb, tracks, own);
    const double save = static_cast<double>(best[1].peakKb) / static_cast<double>(best[0].peakKb);
    std::printf("  %-22s peak %ld KiB, walk alone %ld KiB: ratio %.2f  goal <= %.2f%s  %s\n",
                "walk and save", best[1].peakKb, best[0].peakKb, save, kSaveGoal,
                tracks >= 1000000 ? "" : " (at 1,000,000)",
                tracks < 1000000 ? "" : (save <= kSaveGoal ? "MET" : "MISSED"));
}

constexpr double kCreditsGoalBytes = 24;

// In turn per program: the walk that saves, then the open of what it saved.
void MeasureCredits(const SContext& c, const std::string& data, const char* size, std::size_t count,
                    const std::string& today, int rounds) {
    const CRealisticCollection plain(data + "/real" + size, count);
    const CRealisticCollection credited(data + "/real" + size + "-credits", count, true);
    const std::string& root = credited.Root();
    const std::string& before = today.empty() ? c.scan : today;
    const std::string& beforeRoot = today.empty() ? plain.Root() : root;
    const auto best = CPairedRuns::Run(rounds,
                                       {{c.scan, kGroups, kAlbum, "--refresh", root},
                                        {c.scan, kGroups, kAlbum, "--no-save", root},
                                        {before, kGroups, kAlbum, "--refresh", beforeRoot},
                                        {before, kGroups, kAlbum, "--no-save", beforeRoot}},
                                       c.environment, [] {});
    std::printf(" %zu tracks with the rarer frames, against %s\n", count,
                today.empty() ? "this tool without them" : today.c_str());
    for (const std::size_t i : {std::size_t{0}, std::size_t{1}}) {
        const double more = static_cast<double>(best[i].peakKb - best[i + 2].peakKb) * 1024.0 /
                            static_cast<double>(count);
        std::printf("  %-22s %+5.0f bytes/track  (peaks %ld and %ld KiB)  goal <= %.0f  %s\n",
                    i == 0 ? "walk and save" : "snapshot open", more, best[i].peakKb,
                    best[i + 2].peakKb, kCreditsGoalBytes,
                    more <= kCreditsGoalBytes ? "MET" : "MISSED");
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: RealisticMemoryBench DATA-FOLDER QUAVERO-SCAN [TODAY-SCAN]\n");
        return 2;
    }
    const std::string data = argv[1];
    SContext c{argv[2], {"QUAVERO_PROFILE=" + data + "/bench.ini"}};
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
    Measure(c, CRealisticCollection(data + "/real100k", 100000), 3);
    const char* large = std::getenv("BENCH_LARGE");
    const bool largeToo = large != nullptr && std::string(large) == "1";
    if (largeToo)
        Measure(c, CRealisticCollection(data + "/real1000k", 1000000), 2);
    const std::string today = argc > 3 ? argv[3] : "";
    MeasureCredits(c, data, "100k", 100000, today, 3);
    if (largeToo)
        MeasureCredits(c, data, "1000k", 1000000, today, 2);
    else
        std::printf(" 1,000,000 tracks: not measured; BENCH_LARGE=1 measures them (the first "
                    "run makes 1,000,000 sparse files, about 13 GB on disk, for each of the two "
                    "collections)\n");
    return 0;
}
