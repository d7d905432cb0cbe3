#include "frame/TrackLocator.h"

#include "model/Mp3File.h"
#include "views/LeftView.h"
#include "views/QuavView.h"

#include <algorithm>

namespace {

// A track read back from the address's snapshot keeps the "/" that ends its folder.
bool IsFileOf(const CMp3File& track, std::string_view path) {
    std::string_view folder = track.Directory();
    if (folder.ends_with('/'))
        folder.remove_suffix(1);
    const std::string_view name = track.FileName();
    return path.size() == folder.size() + 1 + name.size() && path.starts_with(folder) &&
           path[folder.size()] == '/' && path.ends_with(name);
}

} // namespace

const CMp3File* CTrackLocator::Find(const TrackArray& tracks, std::string_view path) {
    const auto found = std::find_if(tracks.begin(), tracks.end(), [path](const CMp3File* track) {
        return IsFileOf(*track, path);
    });
    return found != tracks.end() ? *found : nullptr;
}

void CTrackLocator::Show(const CMp3File& track, CLeftView& tree, CQuavView& list) {
    if (!list.SelectTrack(&track) && tree.SelectNodeOf(&track))
        list.SelectTrack(&track);
}
