#pragma once

#include "bench/RealisticTrack.h"

#include <cstdint>
#include <string>
#include <vector>

// The bytes of a realistic track where a reader looks at them: the ID3v2 header and its text
// frames, the picture frame's header, the first audio frame (with its "Xing" or "Info" header)
// after the tag, and the last 128 bytes. Everything else (picture data, padding, audio) is left
// as holes: the file is sparse, of its full size.
class CRealisticFile {
public:
    struct SPiece {
        std::uint64_t offset;
        std::string bytes;
    };

    static std::vector<SPiece> Pieces(const SRealisticTrack& track);
    // Writes the file at `path`; false (with errno set) when it cannot.
    static bool Write(const std::string& path, const SRealisticTrack& track);
};
