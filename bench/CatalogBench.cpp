// The catalog against its floors: the tool's walk of 20,000 files, its snapshot open, and
// regrouping 100,000 tracks among 10,000 artists.
#include "bench/BenchCollection.h"
#include "bench/SnapshotFloor.h"
#include "catalog/QuavDoc.h"
#include "platform/IniProfile.h"
#include "platform/Reporter.h"
#include "settings/AppSettings.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class CQuietReporter : public IReporter {
public:
    void Report(std::string_view, std::string_view) override {}
};

double ToolSeconds(const std::string& scan, const std::string& profile,
                   std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), scan);
    return CBenchCollection::BestToolSeconds(5, arguments, {"QUAVERO_PROFILE=" + profile});
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_catalog DATA-FOLDER QUAVERO-SCAN\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string scan = argv[2];
    const std::string profile = data + "/bench.ini";
    const CBenchCollection collection(data + "/walk20k", 20000, 1000);
    const std::string root = collection.Root();
    collection.FloorSeconds();
    const double floor = collection.FloorSeconds();

    const double walk = ToolSeconds(scan, profile, {"--refresh", "--no-save", root});
    ToolSeconds(scan, profile, {"--refresh", root}); // writes the snapshot
    const double snapshot = ToolSeconds(scan, profile, {"--no-save", root});
    // The snapshot floor of the snapshot step: its rate on 100,000 records, for 20,000.
    const std::string big = data + "/regroup100k";
    CSnapshotFloor::WriteSynthetic(big, 100000, 10000);
    long records = 0;
    const double snapshotFloor = CSnapshotFloor::FloorSeconds(big + "/mp3cache.qvc", records) *
                                 static_cast<double>(collection.Paths().size()) /
                                 static_cast<double>(records);
    CAppSettings settings;
    settings.LoadSettings(CIniProfile(profile));
    settings.UseCachedCatalog = 1;
    CQuietReporter reporter;
    CQuavDoc doc(settings, nullptr, reporter);
    doc.SetStoreSnapshots(false);
    const double open = CBenchCollection::BestSeconds(3, [&] { doc.OpenAddress(big); });
    const double regroup = CBenchCollection::BestSeconds(3, [&] { doc.RegroupAll(); });

    std::printf("Catalog: %zu files walked, floor rate of %ld snapshot records, %zu tracks "
                "regrouped into %zu artists\n",
                collection.Paths().size(), records, doc.GetTrackList().GetSize(),
                doc.ArtistGroups().GetSize());
    CBenchCollection::PrintRow("quavero-scan walk (--refresh --no-save)", walk, floor, "<= 1.5",
                               walk / floor <= 1.5);
    CBenchCollection::PrintRow("quavero-scan snapshot open (--no-save)", snapshot, snapshotFloor,
                               "<= 2.0", snapshot / snapshotFloor <= 2.0);
    std::printf("  snapshot open is %.1fx faster than the walk (goal >= 6x): %s\n", walk / snapshot,
                walk / snapshot >= 6 ? "MET" : "MISSED");
    CBenchCollection::PrintRow("RegroupAll 100,000 tracks vs snapshot load", regroup, open, "< 1.0",
                               regroup < open);
    return 0;
}
