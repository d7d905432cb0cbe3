#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The floor of reading a snapshot: the whole file in one read, and a parse that finds every
// field of every record, its texts left where they are in the bytes read. Written from the
// file format alone, apart from the program's own reader.
class CSnapshotFloor {
public:
    struct SRecord {
        std::string_view fileName, title, directory, artist, album, comment;
        std::uint8_t genre = 0;
        std::int32_t sizeK = 0, duration = 0;
        std::string_view bitrate, frequency, versionLayer, mode, year;
    };

    // Reads the file at `path` into `bytes`, which the records then point into. False when the
    // file cannot be read or breaks before its last record.
    static bool Read(const std::string& path, std::string& bytes, std::vector<SRecord>& records);
    static bool Parse(std::string_view bytes, std::vector<SRecord>& records);
};
