// Loading a 100,000-record snapshot, against reading the file and parsing plain records.
#include "bench/BenchCollection.h"
#include "bench/SnapshotFloor.h"
#include "model/Mp3FileList.h"

#include <cstdio>
#include <malloc.h>

int main(int argc, char** argv) {
    const std::string directory = std::string(argc > 1 ? argv[1] : "bench-data") + "/snap100k";
    constexpr int kRecords = 100000;
    CSnapshotFloor::WriteSynthetic(directory, kRecords, 10000);
    long records = 0;
    const double floor = CSnapshotFloor::FloorSeconds(directory + "/mp3cache.qvc", records);

    std::size_t loaded = 0;
    const double load = CBenchCollection::BestSeconds(5, [&] {
        CMp3FileList list;
        list.LoadSnapshot(directory);
        loaded = list.GetSize();
    });

    const std::size_t before = mallinfo2().uordblks;
    CMp3FileList list;
    list.LoadSnapshot(directory);
    const std::size_t after = mallinfo2().uordblks;

    std::printf("Snapshot: %zu records loaded (%ld parsed by the floor)\n", loaded, records);
    std::printf("  floor: %.0f records/s   loader: %.0f records/s   (%.0f %% of the floor)\n",
                kRecords / floor, kRecords / load, 100.0 * floor / load);
    std::printf("  memory per loaded track: %.0f bytes\n",
                static_cast<double>(after - before) / static_cast<double>(list.GetSize()));
    CBenchCollection::PrintRow("LoadSnapshot x 100,000", load, floor, ">= 50 % rate",
                               floor / load >= 0.50);
    return 0;
}
