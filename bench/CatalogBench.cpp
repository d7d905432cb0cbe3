// The catalog against its floors. The tool and each floor are separate processes doing the same
// work, run in turn: the walk of 20,000 files warm (processor time), data-cold and, as root,
// fully cold (wall time: a cold walk is mostly waiting); the open of their snapshot; and
// regrouping 100,000 tracks against loading them.
#include "bench/BenchCollection.h"
#include "bench/PairedRuns.h"
#include "bench/ProcessTimer.h"
#include "bench/QuietReporter.h"
#include "bench/SyntheticSnapshot.h"
#include "catalog/QuavDoc.h"
#include "platform/IniProfile.h"
#include "platform/Reporter.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kWarmRuns = 9;
constexpr int kColdRuns = 3;

using Command = std::vector<std::string>;

std::vector<CPairedRuns::SBest> Paired(int rounds, const std::vector<Command>& commands,
                                       const std::vector<std::string>& environment,
                                       const std::function<void()>& prepare) {
    return CPairedRuns::Run(rounds, commands, environment, prepare);
}

struct SPrograms {
    std::string scan, walkFloor, snapshotFloor;
    std::vector<std::string> environment;
};

// Returns the tool's warm walk time, for the comparison with its snapshot open.
double BenchWalk(const CBenchCollection& collection, const SPrograms& p) {
    const std::string& root = collection.Root();
    const std::vector<Command> walks{{p.scan, "--refresh", "--no-save", root},
                                     {p.walkFloor, root},
                                     {p.walkFloor, "--read-ahead", "32", root}};
    const std::vector<Command> plain(walks.begin(), walks.begin() + 2);
    Paired(1, plain, p.environment, [] {});
    const auto warm = Paired(kWarmRuns, plain, p.environment, [] {});
    CBenchCollection::PrintRow("walk, warm: processor time", warm[0].cpu, warm[1].cpu, "<= 1.15",
                               warm[0].cpu / warm[1].cpu <= 1.15);
    const auto cold = Paired(kColdRuns, walks, p.environment, [&] { collection.DropPages(); });
    CBenchCollection::PrintRow("walk, data-cold: wall time", cold[0].wall, cold[1].wall, "<= 0.35",
                               cold[0].wall / cold[1].wall <= 0.35);
    CBenchCollection::PrintInfoRow("  floor reading 32 files ahead (reference)", cold[2].wall,
                                   cold[1].wall, "");
    if (!CBenchCollection::DropAllCaches()) {
        std::printf("  walk, fully cold: not measured (dropping the system's caches needs root)\n");
        return warm[0].cpu;
    }
    const auto full =
        Paired(kColdRuns, walks, p.environment, [] { CBenchCollection::DropAllCaches(); });
    CBenchCollection::PrintInfoRow("walk, fully cold: wall time", full[0].wall, full[1].wall,
                                   "(no goal: other processes disturb it)");
    CBenchCollection::PrintInfoRow("  floor reading 32 files ahead (reference)", full[2].wall,
                                   full[1].wall, "");
    return warm[0].cpu;
}

// Returns the tool's snapshot open time, for the comparison with its walk.
double BenchSnapshotOpen(const CBenchCollection& collection, const SPrograms& p) {
    const std::string& root = collection.Root();
    CProcessTimer::Run({p.scan, "--refresh", root}, p.environment); // writes the snapshot
    const auto open = Paired(kWarmRuns, {{p.scan, "--no-save", root}, {p.snapshotFloor, root}},
                             p.environment, [] {});
    CBenchCollection::PrintRow("snapshot open: processor time", open[0].cpu, open[1].cpu, "<= 2.0",
                               open[0].cpu / open[1].cpu <= 2.0);
    return open[0].cpu;
}

void BenchRegroup(const std::string& data, const std::string& profile) {
    const std::string big = data + "/regroup100k";
    CSyntheticSnapshot::Write(big, 100000, 10000);
    CMp3FileList list;
    const double load = CBenchCollection::BestSeconds(3, [&] {
        list.RemoveAll();
        list.LoadSnapshot(big);
    });
    CAppSettings settings;
    settings.LoadSettings(CIniProfile(profile));
    settings.UseCachedCatalog = 1;
    CQuietReporter reporter;
    CQuavDoc doc(settings, nullptr, reporter);
    doc.SetStoreSnapshots(false);
    doc.OpenAddress(big);
    const double regroup = CBenchCollection::BestSeconds(3, [&] { doc.RegroupAll(); });
    std::printf("  (%zu tracks regrouped into %zu artists)\n", doc.GetTrackList().GetSize(),
                doc.Groups().Artists().size());
    CBenchCollection::PrintRow("RegroupAll 100,000 tracks", regroup, load, "< 1.0", regroup < load,
                               "load");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: CatalogBench DATA-FOLDER QUAVERO-SCAN WALK-FLOOR "
                             "SNAPSHOT-FLOOR\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string profile = data + "/bench.ini";
    const SPrograms programs{argv[2], argv[3], argv[4], {"QUAVERO_PROFILE=" + profile}};
    const CBenchCollection collection(data + "/walk20k", 20000, 1000);
    std::printf("Catalog: %zu files in albums of 12, one in 25 behind an ID3v2 tag; each figure "
                "the best of paired runs\n",
                collection.Paths().size());
    const double walk = BenchWalk(collection, programs);
    const double snapshot = BenchSnapshotOpen(collection, programs);
    std::printf("  snapshot open is %.1fx faster than the warm walk (goal >= 6x): %s\n",
                walk / snapshot, walk / snapshot >= 6 ? "MET" : "MISSED");
    BenchRegroup(data, profile);
    return 0;
}
