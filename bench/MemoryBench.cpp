// Memory per track of the tool: its peak resident memory on 100,000 tracks less its peak on an
// empty folder, divided by the tracks; after a walk and after a snapshot open.
#include "bench/BenchCollection.h"
#include "bench/ProcessTimer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kTracks = 100000;
constexpr int kRuns = 3;
constexpr double kGoalBytes = 300;

// The least peak of a few runs: another process cannot raise this process's peak, but the
// allocator's layout may vary a little from run to run.
long PeakKb(const std::vector<std::string>& command, const std::vector<std::string>& environment) {
    long best = -1;
    for (int run = 0; run < kRuns; ++run) {
        const long peak = CProcessTimer::Run(command, environment).peakKb;
        best = best < 0 ? peak : std::min(best, peak);
    }
    return best;
}

void PrintRow(const char* what, long peakKb, long emptyKb, std::size_t tracks) {
    const double perTrack =
        static_cast<double>(peakKb - emptyKb) * 1024.0 / static_cast<double>(tracks);
    std::printf("  %-34s %8.0f bytes per track (peak %ld KiB, empty %ld KiB)  goal <= %.0f: %s\n",
                what, perTrack, peakKb, emptyKb, kGoalBytes,
                perTrack <= kGoalBytes ? "MET" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: MemoryBench DATA-FOLDER QUAVERO-SCAN\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string scan = argv[2];
    const std::vector<std::string> environment{"QUAVERO_PROFILE=" + data + "/bench.ini"};
    const CBenchCollection collection(data + "/walk100k", kTracks, 5000);
    const std::string empty = data + "/empty";
    std::filesystem::create_directories(empty);
    const std::string& root = collection.Root();
    std::printf("Memory: %zu tracks, peak resident memory of the tool less that of an empty "
                "folder\n",
                collection.Paths().size());
    const long walk = PeakKb({scan, "--refresh", "--no-save", root}, environment);
    const long emptyWalk = PeakKb({scan, "--refresh", "--no-save", empty}, environment);
    PrintRow("walk", walk, emptyWalk, collection.Paths().size());
    CProcessTimer::Run({scan, "--refresh", root}, environment); // writes the snapshots
    CProcessTimer::Run({scan, "--refresh", empty}, environment);
    const long open = PeakKb({scan, "--no-save", root}, environment);
    const long emptyOpen = PeakKb({scan, "--no-save", empty}, environment);
    PrintRow("snapshot open", open, emptyOpen, collection.Paths().size());
    return 0;
}
