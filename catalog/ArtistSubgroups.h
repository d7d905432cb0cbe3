#pragma once

#include "catalog/ArtistGroup.h"
#include "catalog/GroupList.h"
#include "model/TrackArray.h"

#include <string>

// A group keyed by one text (genre name or album) whose tracks are divided again by artist.
class CArtistSubgroups {
public:
    explicit CArtistSubgroups(std::string groupName) : name(std::move(groupName)) {}

    const std::string name;
    TrackArray tracks;
    TGroupList<CArtistGroup> artists;
};
