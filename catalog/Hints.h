#pragma once

// The update hints that every view understands. Numbers are part of the views' contract and are
// never renumbered.
enum class EHint : int {
    ShowTracks = 0,      // the tracks of the hint's array are to be shown
    RebuildBegin = 1,    // drop every pointer to tracks and groups
    RebuildEnd = 2,      // content ready: rebuild from the document
    ModeArtist = 3,      // organise by artist
    ModeGenreArtist = 4, // organise by genre, then artist
    ModeAlbumArtist = 5, // organise by album, then artist
    ColumnsChanged = 6,  // re-read display options and columns
    // As ShowTracks, for the node that was shown before a rebuild, found again by its names
    // after it: the list keeps its place.
    ShowTracksAgain = 7,
};
