// The walk of 20,000 files of the realistic collection on the local disk, quavero-scan
// --refresh --no-save against WalkFloor, each a process of its own, run in turn:
//   - data-cold (each file's pages dropped before each run): wall time, goal at most 1.1 times
//     the floor keeping 32 requests in flight (threads); the sequential floor beside it;
//   - warm: processor time, goal at most 1.15 times the sequential floor, with both processes
//     on one processor and on two (the pool of a walk must cost nothing where data is in
//     memory); the wall times on two processors beside them.
// Then the same 20,000 tracks with the rarer frames in every tag (album artist, disc, and on
// some the compilation flag, sort names and listed artists), warm on one processor: goal at
// most 1.05 times today's walk of them (TODAY-SCAN, the tool of the program before, when given;
// else this tool on the collection without them) and at most 1.3 times their sequential floor.
// Then 20,000 tracks with a picture in every tag, warm on one processor: goal at most 1.03
// times today's walk of the same files (TODAY-SCAN, the tool of the program before, which
// passes the pictures over; without it, the figure is shown against this tool on the
// collection without pictures, for information). Each figure is the best of its rounds.
// REALISTIC_WALK_ONLY=pictures runs that part alone.
//
// usage: RealisticWalkBench DATA-FOLDER QUAVERO-SCAN WALK-FLOOR [TODAY-SCAN]
#include "bench/BenchCollection.h"
#include "bench/PairedRuns.h"
#include "bench/RealisticCollection.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kColdRounds = 3;
constexpr int kWarmRounds = 7;

void WalkWithCredits(const std::string& data, const std::string& scan, const std::string& floor,
                     const std::string& today, const std::vector<std::string>& environment) {
    const CRealisticCollection plain(data + "/real20k", 20000);
    const CRealisticCollection credited(data + "/real20k-credits", 20000, true);
    const CPairedRuns::Command tool{scan, "--refresh", "--no-save", credited.Root()};
    const CPairedRuns::Command before =
        today.empty() ? CPairedRuns::Command{scan, "--refresh", "--no-save", plain.Root()}
                      : CPairedRuns::Command{today, "--refresh", "--no-save", credited.Root()};
    const CPairedRuns::Command sequential{floor, credited.Root()};
    std::printf("With the rarer frames in every tag, against %s\n",
                today.empty() ? "this tool on the collection without them" : today.c_str());
    CPairedRuns::Run(1, {tool, before, sequential}, environment, [] {}); // warms the cache
    const auto warm = CPairedRuns::Run(
        kWarmRounds, {tool, before, sequential}, environment, [] {}, 1);
    CBenchCollection::PrintRow("walk, warm, one processor: cpu", warm[0].cpu, warm[1].cpu,
                               "<= 1.05", warm[0].cpu / warm[1].cpu <= 1.05, "today");
    CBenchCollection::PrintRow("  the same against its floor", warm[0].cpu, warm[2].cpu, "<= 1.3",
                               warm[0].cpu / warm[2].cpu <= 1.3);
}

// Noting where each picture lies must cost the walk next to nothing: its bytes are those the
// walk reads anyway.
void WalkWithPictures(const std::string& data, const std::string& scan, const std::string& today,
                      const std::vector<std::string>& environment) {
    const CRealisticCollection pictured(data + "/real20k-pictures", 20000, false, true);
    const CPairedRuns::Command tool{scan, "--refresh", "--no-save", pictured.Root()};
    CPairedRuns::Command before{today, "--refresh", "--no-save", pictured.Root()};
    if (today.empty())
        before = {scan, "--refresh", "--no-save",
                  CRealisticCollection(data + "/real20k", 20000).Root()};
    std::printf("With a picture in every tag, against %s\n",
                today.empty() ? "this tool on the collection without them (no TODAY-SCAN)"
                              : today.c_str());
    CPairedRuns::Run(1, {tool, before}, environment, [] {}); // warms the cache
    const auto warm = CPairedRuns::Run(
        kWarmRounds, {tool, before}, environment, [] {}, 1);
    if (today.empty())
        CBenchCollection::PrintInfoRow("walk, warm, one processor: cpu", warm[0].cpu, warm[1].cpu,
                                       "");
    else
        CBenchCollection::PrintRow("walk, warm, one processor: cpu", warm[0].cpu, warm[1].cpu,
                                   "<= 1.03", warm[0].cpu / warm[1].cpu <= 1.03, "today");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: RealisticWalkBench DATA-FOLDER QUAVERO-SCAN WALK-FLOOR "
                             "[TODAY-SCAN]\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string scan = argv[2], floor = argv[3];
    const CRealisticCollection collection(data + "/real20k", 20000);
    const std::string& root = collection.Root();
    const std::vector<std::string> environment{"QUAVERO_PROFILE=" + data + "/bench.ini"};
    const std::string today = argc > 4 ? argv[4] : "";
    if (const char* only = std::getenv("REALISTIC_WALK_ONLY");
        only != nullptr && std::string_view(only) == "pictures") {
        WalkWithPictures(data, scan, today, environment);
        return 0;
    }
    const CPairedRuns::Command tool{scan, "--refresh", "--no-save", root};
    const CPairedRuns::Command threaded{floor, "--threads", "32", root};
    const CPairedRuns::Command sequential{floor, root};
    std::printf("Realistic walk: %zu files on the local disk; best of paired runs\n",
                collection.Count());

    const auto cold = CPairedRuns::Run(kColdRounds, {tool, threaded, sequential}, environment,
                                       [&] { collection.DropPages(); });
    CBenchCollection::PrintRow("walk, data-cold: wall time", cold[0].wall, cold[1].wall, "<= 1.1",
                               cold[0].wall / cold[1].wall <= 1.1, "floor32");
    CBenchCollection::PrintInfoRow("  sequential floor (reference)", cold[2].wall, cold[1].wall,
                                   "");

    CPairedRuns::Run(1, {tool, sequential}, environment, [] {}); // warms the cache
    for (const int cpus : {1, 2}) {
        const auto warm = CPairedRuns::Run(
            kWarmRounds, {tool, sequential}, environment, [] {}, cpus == 2 ? 0 : cpus);
        const std::string what =
            "walk, warm, " + std::string(cpus == 1 ? "one processor" : "two processors") + ": cpu";
        CBenchCollection::PrintRow(what, warm[0].cpu, warm[1].cpu, "<= 1.15",
                                   warm[0].cpu / warm[1].cpu <= 1.15);
        if (cpus == 2)
            CBenchCollection::PrintInfoRow("  the same, wall time", warm[0].wall, warm[1].wall, "");
    }
    WalkWithCredits(data, scan, floor, today, environment);
    WalkWithPictures(data, scan, today, environment);
    return 0;
}
