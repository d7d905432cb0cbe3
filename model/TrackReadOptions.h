#pragma once

// What a track's load reads beyond the ID3v1 tag and the first frame header. Both off reads a
// file exactly as the ID3v1-only loader did.
struct STrackReadOptions {
    // Time and average bitrate from a "Xing" or "VBRI" header of the first frame.
    bool exactVbrTime = true;
    // Texts from a leading ID3v2 tag when the file has no ID3v1 tag.
    bool readId3v2 = true;
};
