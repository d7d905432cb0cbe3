#pragma once

// What a track's load reads beyond the ID3v1 tag and the first frame header. All off reads a
// file exactly as the ID3v1-only loader did.
struct STrackReadOptions {
    // Time and average bitrate from a "Xing" or "VBRI" header of the first frame.
    bool exactVbrTime = true;
};
