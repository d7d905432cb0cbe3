#pragma once

// The update hints that every view understands. Numbers are part of the views' contract and are
// never renumbered.
inline constexpr int HINT_SHOW_TRACKS = 0;       // the tracks of the hint's array are to be shown
inline constexpr int HINT_REBUILD_BEGIN = 1;     // drop every pointer to tracks and groups
inline constexpr int HINT_REBUILD_END = 2;       // content ready: rebuild from the document
inline constexpr int HINT_MODE_ARTIST = 3;       // organise by artist
inline constexpr int HINT_MODE_GENRE_ARTIST = 4; // organise by genre, then artist
inline constexpr int HINT_MODE_ALBUM_ARTIST = 5; // organise by album, then artist
inline constexpr int HINT_COLUMNS_CHANGED = 6;   // re-read display options and columns
