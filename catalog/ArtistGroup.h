#pragma once

#include "model/TrackArray.h"

#include <cstddef>
#include <memory_resource>
#include <string>

// The tracks of one artist text, in the order they were filed. Holds no track.
class CArtistGroup {
public:
    CArtistGroup(std::string groupName, std::pmr::memory_resource* memory)
        : name(std::move(groupName)), tracks(memory) {}

    const std::string name;
    TrackArray tracks;
    std::size_t counted = 0; // tracks counted for it and not yet filed (CCatalogGroups)
};
