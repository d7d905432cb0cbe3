#pragma once

#include "catalog/ArtistGroup.h"

#include <vector>

// A group keyed by one text (genre name or album) whose tracks are divided again by artist.
class CArtistSubgroups : public CArtistGroup {
public:
    using CArtistGroup::CArtistGroup;

    // In order of first appearance among the group's tracks.
    std::vector<CArtistGroup> Artists() const;
};
