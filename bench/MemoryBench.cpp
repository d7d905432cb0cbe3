// Memory per track of the tool: its peak resident memory on 100,000 tracks less its peak on an
// empty folder, divided by the tracks; after a walk and after a snapshot open. The goal holds
// for every run: the least and the most of the runs are shown.
#include "bench/BenchCollection.h"
#include "bench/ProcessTimer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kTracks = 100000;
constexpr int kRuns = 5;
constexpr double kGoalBytes = 300;

struct SPeaks {
    long leastKb = -1;
    long mostKb = -1;
};

// The least and the most peak of a few runs: another process cannot raise this process's peak,
// so what differs between them is the process's own.
SPeaks PeakKb(const std::vector<std::string>& command,
              const std::vector<std::string>& environment) {
    SPeaks peaks;
    for (int run = 0; run < kRuns; ++run) {
        const long peak = CProcessTimer::Run(command, environment).peakKb;
        peaks.leastKb = peaks.leastKb < 0 ? peak : std::min(peaks.leastKb, peak);
        peaks.mostKb = std::max(peaks.mostKb, peak);
    }
    return peaks;
}

double PerTrack(long kb, std::size_t tracks) {
    return static_cast<double>(kb) * 1024.0 / static_cast<double>(tracks);
}

void PrintRow(const char* what, const SPeaks& peaks, long emptyKb, std::size_t tracks) {
    const double least = PerTrack(peaks.leastKb - emptyKb, tracks);
    const double most = PerTrack(peaks.mostKb - emptyKb, tracks);
    std::printf("  %-16s %4.0f .. %4.0f bytes per track (peaks %ld .. %ld KiB, empty %ld KiB)  "
                "goal <= %.0f: %s\n",
                what, least, most, peaks.leastKb, peaks.mostKb, emptyKb, kGoalBytes,
                most <= kGoalBytes ? "MET" : "MISSED");
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
                "folder, least .. most of %d runs\n",
                collection.Paths().size(), kRuns);
    const SPeaks walk = PeakKb({scan, "--refresh", "--no-save", root}, environment);
    const long emptyWalk = PeakKb({scan, "--refresh", "--no-save", empty}, environment).leastKb;
    PrintRow("walk", walk, emptyWalk, collection.Paths().size());
    CProcessTimer::Run({scan, "--refresh", root}, environment); // writes the snapshots
    CProcessTimer::Run({scan, "--refresh", empty}, environment);
    const SPeaks open = PeakKb({scan, "--no-save", root}, environment);
    const long emptyOpen = PeakKb({scan, "--no-save", empty}, environment).leastKb;
    PrintRow("snapshot open", open, emptyOpen, collection.Paths().size());
    return 0;
}
