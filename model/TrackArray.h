#pragma once

#include <memory_resource>
#include <vector>

class CMp3File;

// A non-owning, ordered list of tracks: what groups, tree nodes and the list view hold, and the
// object that an update hint carries. Groups take theirs from the catalog's group memory, which
// is dropped whole when the catalog regroups; any other list uses the heap.
using TrackArray = std::pmr::vector<CMp3File*>;
