// The floor of opening a snapshot as a program: read the file, parse every record and print
// one line per track, as the program under test prints it. Written with POSIX alone, apart
// from the program under test, and run as a process of its own as that program is.
//
// usage: SnapshotFloor FOLDER   (reads FOLDER/mp3cache.qvc)
#include "bench/SnapshotFloor.h"

#include <charconv>
#include <cstdio>

namespace {

void AppendNumber(std::string& line, long value) {
    char number[24];
    line.append(number, std::to_chars(number, number + sizeof number, value).ptr);
}

// Megabytes with one decimal, at least five characters wide.
void AppendSize(std::string& line, long sizeK) {
    const long tenths = (sizeK + 50) / 100;
    const std::size_t start = line.size();
    AppendNumber(line, tenths / 10);
    (line += '.') += static_cast<char>('0' + tenths % 10);
    if (line.size() - start < 5)
        line.insert(start, 5 - (line.size() - start), ' ');
    line += " MB";
}

// "m:ss", or "h:mm:ss" from an hour on.
void AppendTime(std::string& line, long seconds) {
    const auto twoDigits = [&line](long value) {
        (line += static_cast<char>('0' + value / 10)) += static_cast<char>('0' + value % 10);
    };
    AppendNumber(line, seconds >= 3600 ? seconds / 3600 : seconds / 60);
    line += ':';
    if (seconds >= 3600) {
        twoDigits(seconds / 60 % 60);
        line += ':';
    }
    twoDigits(seconds % 60);
}

// The fields in the order and form the tool prints them; the genre by its number. The track
// number is empty: the snapshots measured hold no block of extras after their records.
void Print(const CSnapshotFloor::SRecord& r, const std::string& base, std::string& line) {
    line.clear();
    for (const std::string_view* text : {&r.fileName, &r.artist, &r.title})
        line.append(*text) += '\t';
    line.append(base).append(r.directory) += '\t';
    AppendSize(line, r.sizeK);
    line += '\t';
    line.append(r.album) += '\t';
    AppendNumber(line, r.genre);
    for (const std::string_view* text : {&r.year, &r.comment})
        (line += '\t').append(*text);
    line += '\t';
    AppendTime(line, r.duration);
    for (const std::string_view* text : {&r.bitrate, &r.frequency, &r.mode, &r.versionLayer})
        (line += '\t').append(*text);
    line += "\t\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return std::fputs("usage: SnapshotFloor FOLDER\n", stderr), 2;
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    const std::string base = std::string(argv[1]) + "/";
    std::string bytes;
    std::vector<CSnapshotFloor::SRecord> records;
    if (!CSnapshotFloor::Read(base + "mp3cache.qvc", bytes, records))
        return std::perror(argv[1]), 1;
    std::string line;
    for (const CSnapshotFloor::SRecord& record : records)
        Print(record, base, line);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
