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

    // As the document does: one list, emptied before each load, so its storage is reused.
    CMp3FileList list;
    const double first = CBenchCollection::BestSeconds(1, [&] { list.LoadSnapshot(directory); });
    std::size_t loaded = 0;
    const double load = CBenchCollection::BestSeconds(5, [&] {
        list.RemoveAll();
        list.LoadSnapshot(directory);
        loaded = list.GetSize();
    });

    // Heap and mapped blocks together: the records' blocks may come from either.
    const auto inUse = [] {
        const struct mallinfo2 info = mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    CMp3FileList measured;
    const std::size_t before = inUse();
    measured.LoadSnapshot(directory);
    const double perTrack =
        static_cast<double>(inUse() - before) / static_cast<double>(measured.GetSize());

    std::printf("Snapshot: %zu records loaded (%ld parsed by the floor)\n", loaded, records);
    std::printf("  floor: %.0f records/s   loader: %.0f records/s   (%.0f %% of the floor)\n",
                kRecords / floor, kRecords / load, 100.0 * floor / load);
    std::printf("  first load into a new list: %.3f s\n", first);
    std::printf("  memory per loaded track: %.0f bytes\n", perTrack);
    CBenchCollection::PrintRow("LoadSnapshot x 100,000", load, floor, ">= 50 % rate",
                               floor / load >= 0.50);
    return 0;
}
