#pragma once

#include "catalog/ArtistGroup.h"
#include "catalog/GroupList.h"
#include "model/TrackArray.h"

#include <cstddef>
#include <memory_resource>
#include <string>

// A group keyed by one text (genre name or album) whose tracks are divided again by artist.
class CArtistSubgroups {
public:
    CArtistSubgroups(std::string groupName, std::pmr::memory_resource* memory)
        : name(std::move(groupName)), tracks(memory), artists(memory) {}

    const std::string name;
    TrackArray tracks;
    std::size_t counted = 0; // tracks counted for it and not yet filed (CCatalogGroups)
    TGroupList<CArtistGroup> artists;
};
