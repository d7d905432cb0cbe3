#pragma once

#include <cstddef>
#include <string>

// A snapshot of the realistic collection's tracks (CRealisticPlanner), written without making
// their files: for the window's benchmarks, which need the texts of a large collection in
// memory and not the files behind them. Records as the program's writer lays them out.
class CRealisticSnapshot {
public:
    // Writes `count` records into `directory`'s snapshot, unless one of that count is there.
    static void Write(const std::string& directory, std::size_t count);
};
