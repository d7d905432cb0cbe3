// Loading 10,000 tracks from a warm cache, against the floor of opening and reading each file.
#include "bench/BenchCollection.h"
#include "model/Mp3File.h"
#include "platform/Reporter.h"

#include <cstdio>

namespace {

class CCountingReporter : public IReporter {
public:
    void Report(std::string_view, std::string_view) override { ++count; }
    int count = 0;
};

} // namespace

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : "bench-data";
    const CBenchCollection collection(root + "/tracks10k", 10000, 500);
    const auto& paths = collection.Paths();
    collection.FloorSeconds(); // warm the cache
    const double floor = collection.FloorSeconds();

    CCountingReporter reporter;
    long checksum = 0;
    const double load = CBenchCollection::BestSeconds(3, [&] {
        for (const std::string& path : paths) {
            const auto slash = path.rfind('/');
            CMp3File track;
            if (track.Load(path.substr(0, slash), path.substr(slash + 1), reporter))
                checksum += track.Duration();
        }
    });
    const double n = static_cast<double>(paths.size());
    std::printf("Track model: %zu files (checksum %ld, %d messages)\n", paths.size(), checksum,
                reporter.count);
    std::printf("  floor: %.0f files/s   track model: %.0f files/s   (%.0f %% of the floor)\n",
                n / floor, n / load, 100.0 * floor / load);
    CBenchCollection::PrintRow("CMp3File::Load x 10,000", load, floor, ">= 70 % rate",
                               floor / load >= 0.70);
    return 0;
}
