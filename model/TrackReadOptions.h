#pragma once

// What a track's load reads beyond the ID3v1 tag and the first frame header. The two switches
// off read a file exactly as the ID3v1-only loader did.
struct STrackReadOptions {
    // Time and average bitrate from a "Xing" or "VBRI" header of the first frame.
    bool exactVbrTime = true;
    // Texts from a leading ID3v2 tag when the file has no ID3v1 tag.
    bool readId3v2 = true;
    // Whether the system is asked for the bytes a load will want before it waits for any: the
    // head and the tail at once, and the first frame as soon as the ID3v2 tag's size is known.
    // Worth it only where reading waits (a cold disk, a share); not a setting.
    bool readAhead = false;
};
