// Opening the snapshot of the realistic collection at 20,000, 100,000 and 300,000 tracks:
// quavero-scan --no-save against SnapshotFloor, processor time, best of paired runs. Goal: at
// most 1.5 times the floor at each size, and a ratio that does not grow with the size (at
// 100,000 and 300,000 at most 1.1 times the ratio at 20,000, for the noise). The snapshot is
// taken at face value (CheckForChanges=0): the look for changes has a budget of its own beside
// this open, measured by FreshnessBench, and the floor looks at no folder either.
//
// usage: RealisticSnapshotBench DATA-FOLDER QUAVERO-SCAN SNAPSHOT-FLOOR
#include "bench/BenchCollection.h"
#include "bench/PairedRuns.h"
#include "bench/RealisticCollection.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 7;
constexpr double kGoal = 1.5;
constexpr double kGrowth = 1.1;

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: RealisticSnapshotBench DATA-FOLDER QUAVERO-SCAN SNAPSHOT-FLOOR\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string scan = argv[2], floor = argv[3];
    const std::vector<std::string> environment{"QUAVERO_PROFILE=" + data + "/bench.ini"};
    const std::string faceValue = data + "/snapshot-bench.ini";
    std::ofstream(faceValue) << "[AdvancedOptions]\nCheckForChanges=0\n";
    const std::vector<std::string> openEnvironment{"QUAVERO_PROFILE=" + faceValue};
    std::printf("Realistic snapshot open: processor time, best of %d paired runs\n", kRounds);
    std::vector<double> ratios;
    for (const std::size_t tracks : {20000, 100000, 300000}) {
        const CRealisticCollection collection(data + "/real" + std::to_string(tracks / 1000) + "k",
                                              tracks);
        const std::string& root = collection.Root();
        // Opens the snapshot, or walks and writes one where there is none yet.
        CProcessTimer::Run({scan, root}, environment);
        const auto best = CPairedRuns::Run(kRounds, {{scan, "--no-save", root}, {floor, root}},
                                           openEnvironment, [] {});
        const double ratio = best[0].cpu / best[1].cpu;
        ratios.push_back(ratio);
        CBenchCollection::PrintRow("snapshot open, " + std::to_string(tracks / 1000) +
                                       "k tracks: cpu",
                                   best[0].cpu, best[1].cpu, "<= 1.5", ratio <= kGoal);
    }
    const double growth = std::max(ratios[1], ratios[2]) / ratios[0];
    std::printf("  ratio trend 20k -> 100k -> 300k: %.2f -> %.2f -> %.2f (largest/20k %.2f, goal "
                "<= %.1f: does not grow)  %s\n",
                ratios[0], ratios[1], ratios[2], growth, kGrowth,
                growth <= kGrowth ? "MET" : "MISSED");
    return 0;
}
