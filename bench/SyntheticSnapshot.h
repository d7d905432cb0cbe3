#pragma once

#include <string>

// Snapshots made up for the benchmarks, written by the program's own writer.
class CSyntheticSnapshot {
public:
    // `count` records of albums of twelve tracks, dealt out over `artists`.
    static void Write(const std::string& directory, int count, int artists);
};
