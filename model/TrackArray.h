#pragma once

#include <vector>

class CMp3File;

// A non-owning, ordered list of tracks: what groups, tree nodes and the list view hold, and the
// object that an update hint carries.
using TrackArray = std::vector<CMp3File*>;
