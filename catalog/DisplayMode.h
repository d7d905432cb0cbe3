#pragma once

#include "catalog/Hints.h"

// How the tree organises the catalog. Stored in the profile (ViewType), so never renumbered; a
// stored value outside the list shows the artists, as Artist does.
enum class EDisplayMode : int { Artist = 0, GenreArtist = 1, AlbumArtist = 2 };

// The hint that announces a mode to the views.
constexpr EHint ModeHint(EDisplayMode mode) {
    switch (mode) {
    case EDisplayMode::GenreArtist:
        return EHint::ModeGenreArtist;
    case EDisplayMode::AlbumArtist:
        return EHint::ModeAlbumArtist;
    case EDisplayMode::Artist:
        break;
    }
    return EHint::ModeArtist;
}
