#pragma once

#include <memory_resource>
#include <vector>

class CMp3File;

// A non-owning, ordered list of tracks: what the track list, a group's tracks and the list view
// hold, and the object that an update hint carries. A list may be given the memory it lives in.
using TrackArray = std::pmr::vector<CMp3File*>;
