// Loading a 100,000-record snapshot, against reading the file and parsing it into plain
// records with a parser of the benchmark's own; the bare parse, which keeps no text, is shown
// beside it.
#include "bench/BenchCollection.h"
#include "bench/SnapshotFloor.h"
#include "bench/SyntheticSnapshot.h"
#include "model/Mp3FileList.h"

#include <cstdio>
#include <malloc.h>

namespace {

// A record that keeps its texts, as a loader must once the file's bytes are gone.
struct SPlainRecord {
    explicit SPlainRecord(const CSnapshotFloor::SRecord& r)
        : fileName(r.fileName), title(r.title), directory(r.directory), artist(r.artist),
          album(r.album), comment(r.comment), bitrate(r.bitrate), frequency(r.frequency),
          versionLayer(r.versionLayer), mode(r.mode), year(r.year), genre(r.genre), sizeK(r.sizeK),
          duration(r.duration) {}

    std::string fileName, title, directory, artist, album, comment;
    std::string bitrate, frequency, versionLayer, mode, year;
    std::uint8_t genre;
    std::int32_t sizeK, duration;
};

} // namespace

int main(int argc, char** argv) {
    const std::string directory = std::string(argc > 1 ? argv[1] : "bench-data") + "/snap100k";
    const std::string path = directory + "/mp3cache.qvc";
    constexpr int kRecords = 100000;
    CSyntheticSnapshot::Write(directory, kRecords, 10000);
    std::size_t records = 0;
    const auto parse = [&](bool keep) {
        std::string bytes;
        std::vector<CSnapshotFloor::SRecord> found;
        if (!CSnapshotFloor::Read(path, bytes, found))
            std::fprintf(stderr, "the floor cannot read %s\n", path.c_str());
        records = found.size();
        std::vector<SPlainRecord> plain;
        plain.reserve(keep ? found.size() : 0);
        for (std::size_t i = 0; keep && i < found.size(); ++i)
            plain.emplace_back(found[i]);
    };
    const double floor = CBenchCollection::BestSeconds(5, [&] { parse(true); });
    const double bare = CBenchCollection::BestSeconds(5, [&] { parse(false); });

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

    std::printf("Snapshot: %zu records loaded (%zu parsed by the floor)\n", loaded, records);
    std::printf("  floor: %.0f records/s   loader: %.0f records/s   (%.0f %% of the floor)\n",
                kRecords / floor, kRecords / load, 100.0 * floor / load);
    std::printf("  bare parse, no text kept: %.0f records/s   (loader at %.0f %% of it)\n",
                kRecords / bare, 100.0 * bare / load);
    std::printf("  first load into a new list: %.3f s\n", first);
    std::printf("  memory per loaded track: %.0f bytes\n", perTrack);
    CBenchCollection::PrintRow("LoadSnapshot x 100,000", load, floor, ">= 50 % rate",
                               floor / load >= 0.50);
    return 0;
}
