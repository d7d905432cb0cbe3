#pragma once

#include "catalog/GroupNode.h"
#include "model/TrackArray.h"

#include <cstddef>
#include <string_view>

class CCatalogGroups;

// One artist text and its tracks: a top-level group in the artist mode, or a genre's or an
// album's subgroup. A handle on the catalog's groups (catalog/CatalogGroups.h), valid until
// they are filed again.
class CArtistGroup {
public:
    CArtistGroup(const CCatalogGroups& groups, GroupNode node) : groups_(&groups), node_(node) {}

    GroupNode Node() const { return node_; }
    std::string_view Name() const;
    std::size_t Size() const;
    // Its tracks in list order, made on each call.
    TrackArray Tracks() const;

protected:
    const CCatalogGroups* groups_;
    GroupNode node_;
};
