// The walk on a network share: 2,000 files of the realistic collection seen through LatencyFs,
// which waits 1 ms in every request. quavero-scan --refresh --no-save against WalkFloor keeping
// 32 requests in flight (threads; goal: at most 1.2 times that floor), with the sequential
// floor beside them. Wall time, best of a few rounds; each run gets a fresh mount, so nothing
// is cached from the run before.
//
// usage: LatencyBench DATA-FOLDER QUAVERO-SCAN WALK-FLOOR LATENCY-FS
#include "bench/BenchCollection.h"
#include "bench/LatencyMount.h"
#include "bench/ProcessTimer.h"
#include "bench/RealisticCollection.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRounds = 3;
constexpr double kGoal = 1.2;

struct SRun {
    double wall = 1e30;
    long requests = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: LatencyBench DATA-FOLDER QUAVERO-SCAN WALK-FLOOR LATENCY-FS\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string scan = argv[2], floor = argv[3], fs = argv[4];
    std::printf("Latency: 2,000 realistic files through a file system that waits 1 ms in each "
                "request; wall time, best of %d\n",
                kRounds);
    if (::access(fs.c_str(), X_OK) != 0) {
        std::printf("  skipped: built without FUSE 3 (scripts/install-deps.sh bench installs "
                    "libfuse3-dev and fuse3)\n");
        return 0;
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        std::printf("  skipped: /dev/fuse cannot be opened here\n");
        return 0;
    }
    const CRealisticCollection collection(data + "/real2k", 2000);
    const std::string mountPoint = data + "/latency-mnt";
    const std::vector<std::string> environment{"QUAVERO_PROFILE=" + data + "/bench.ini"};
    CLatencyMount mount(fs, collection.Root(), mountPoint);
    std::string why;
    const auto measure = [&](const std::vector<std::string>& command, SRun& best) {
        if (!mount.Mount(why))
            return false;
        const double wall = CProcessTimer::Run(command, environment).wall;
        const long requests = mount.Unmount();
        if (wall < best.wall)
            best = {wall, requests};
        return true;
    };
    SRun tool, threaded, sequential;
    bool mounted = true;
    for (int round = 0; round < kRounds && mounted; ++round)
        mounted = measure({scan, "--refresh", "--no-save", mountPoint}, tool) &&
                  measure({floor, "--threads", "32", mountPoint}, threaded);
    mounted = mounted && measure({floor, mountPoint}, sequential);
    if (!mounted) {
        std::printf("  skipped: the file system cannot be mounted (%s)\n", why.c_str());
        return 0;
    }
    CBenchCollection::PrintRow("walk, 1 ms a request: wall time", tool.wall, threaded.wall,
                               "<= 1.2", tool.wall / threaded.wall <= kGoal);
    CBenchCollection::PrintInfoRow("  sequential floor (reference)", sequential.wall, threaded.wall,
                                   "");
    const double files = static_cast<double>(collection.Count());
    std::printf("  requests per file: tool %.1f, floor %.1f (32 threads), %.1f (sequential)\n",
                static_cast<double>(tool.requests) / files,
                static_cast<double>(threaded.requests) / files,
                static_cast<double>(sequential.requests) / files);
    return 0;
}
