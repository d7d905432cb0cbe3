#include "catalog/ArtistGroup.h"

#include "catalog/ArtistSubgroups.h"
#include "catalog/CatalogGroups.h"

std::string_view CArtistGroup::Name() const {
    return groups_->Name(node_);
}

std::size_t CArtistGroup::Size() const {
    return groups_->Size(node_);
}

TrackArray CArtistGroup::Tracks() const {
    return groups_->Tracks(node_);
}

std::vector<CArtistGroup> CArtistSubgroups::Artists() const {
    return groups_->Subgroups(node_);
}
