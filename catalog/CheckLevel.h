#pragma once

#include <algorithm>

// How much of a snapshot is checked against the disk when it opens. Stored in the profile
// (CheckForChanges), so never renumbered; a stored value beyond the list is taken as the
// nearest level.
enum class ECheckLevel : int {
    None = 0,    // the snapshot at face value
    Folders = 1, // every folder it knows: one look each
    Files = 2,   // its folders, and each file's size and times
};

constexpr ECheckLevel CheckLevel(int stored) {
    return static_cast<ECheckLevel>(std::clamp(stored, 0, 2));
}
