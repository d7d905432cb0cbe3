#pragma once

#include "catalog/ArtistSubgroups.h"

// The tracks of one album text, and their artists.
class CAlbumGroup : public CArtistSubgroups {
public:
    using CArtistSubgroups::CArtistSubgroups;
};
