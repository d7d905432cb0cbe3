#pragma once

#include <string>
#include <string_view>

// The least a reader must do for one track, written with POSIX alone, apart from the program
// under test: the file's size, its last 128 bytes (an ID3v1 tag), its first 4096 bytes (an
// ID3v2 header and, most often, its text frames), then as far as the texts still wanted lie: the
// frames after a picture are read where they are, the picture is not. Then the first audio
// frame after the tag, whose "Xing" header gives the exact time of a VBR file; a constant
// bitrate's time leaves out both tags. The line holds what the tool prints, ID3v2 texts before
// ID3v1 ones, in UTF-8.
class CFloorTrack {
public:
    // Reads the file open at `fd` and appends its line to `line`; closes `fd`. False (line
    // untouched) when the file cannot be read.
    static bool Read(int fd, std::string_view folder, std::string_view name, std::string& line);
};
