#pragma once

#include <string>

// The snapshot side of the benchmarks: synthetic snapshots, and the floor of reading one, which
// is one read of the whole file and a parse into plain records.
class CSnapshotFloor {
public:
    static void WriteSynthetic(const std::string& directory, int count, int artists);
    // Best seconds of reading `path` in one read and parsing every record; sets `records`.
    static double FloorSeconds(const std::string& path, long& records);
};
