#pragma once

#include "catalog/ArtistSubgroups.h"

// The tracks of one genre name, and their artists.
class CGenreGroup : public CArtistSubgroups {
public:
    using CArtistSubgroups::CArtistSubgroups;
};
