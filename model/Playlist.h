#pragma once

#include "model/TrackArray.h"

#include <string>
#include <string_view>
#include <vector>

class CMp3File;

// The playlist through which several tracks reach the player at once: "~playlst.m3u" in a
// folder of the user's own, rewritten for every hand-over and never removed.
class CPlaylist {
public:
    // Empty when the user has no private folder to hold it.
    static std::string Path();
    // One line per track, in the order given, each ending in CR LF; nothing else. A line is the
    // track's full path, or its file:// address where the path holds a line break.
    static std::string Bytes(const TrackArray& tracks);
    // Replaces the file at `path` with the tracks' lines, readable by the user alone; false when
    // it cannot be written.
    static bool Write(const std::string& path, const TrackArray& tracks);
    // "file://" and the path with every byte but letters, digits, "-._~/" as %XX.
    static std::string FileUrl(std::string_view path);
};
