#pragma once

#include "model/TrackArray.h"

#include <string>
#include <vector>

class CMp3File;

// The playlist through which several tracks reach the player at once: "~playlst.m3u" in the
// temporary folder, rewritten for every hand-over and never removed.
class CPlaylist {
public:
    static std::string Path();
    // One full path per track, in the order given, each ending in CR LF; nothing else.
    static std::string Bytes(const TrackArray& tracks);
    // Replaces the file at `path` with the tracks' lines; false when it cannot be written.
    static bool Write(const std::string& path, const TrackArray& tracks);
};
