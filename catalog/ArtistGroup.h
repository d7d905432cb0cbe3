#pragma once

#include "model/TrackArray.h"

#include <string>

// The tracks of one artist text, in the order they were filed. Holds no track.
class CArtistGroup {
public:
    explicit CArtistGroup(std::string groupName) : name(std::move(groupName)) {}

    const std::string name;
    TrackArray tracks;
};
