#pragma once

#include "model/TrackArray.h"

#include <string_view>

class CLeftView;
class CMp3File;
class CQuavView;

// A track of the catalog found by its file's path, and its row shown: in the list as it stands,
// else in the deepest tree node that holds it (the list may hold back the rows of a large node).
class CTrackLocator {
public:
    static const CMp3File* Find(const TrackArray& tracks, std::string_view path);
    static void Show(const CMp3File& track, CLeftView& tree, CQuavView& list);
};
