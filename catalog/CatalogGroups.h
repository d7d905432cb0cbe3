#pragma once

#include "catalog/AlbumGroup.h"
#include "catalog/ArtistGroup.h"
#include "catalog/DisplayMode.h"
#include "catalog/GenreGroup.h"
#include "catalog/GroupNode.h"
#include "model/TrackArray.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class CMp3File;

// The groups the tree shows in the current display mode: the artists, or the genres or albums
// each divided by artist. Every group is a run of one ordering of the list's places: the groups
// one after the other, a group's subgroups one after the other within it, and a subgroup's
// places in list order. A track then costs one 4-byte place whatever the mode, where an array
// of pointers per group and per subgroup in all three modes cost 40 bytes. Nor is a name
// copied: a group is named by the text of its first track, and found by that text as it shows
// (platform/Utf8.h), so that a name read as Latin-1 from one tag and as UTF-8 from another is
// one group, named as it was first met.
class CCatalogGroups {
public:
    using Node = GroupNode;
    static constexpr Node kNoNode = kNoGroupNode;

    // Files every track of `tracks`, in list order, in the groups of `mode`, replacing those
    // filed before. The groups read `tracks` until the next File or Clear; the list must not
    // change meanwhile.
    void File(const TrackArray& tracks, EDisplayMode mode);
    void Clear();

    // The top-level groups of the mode, in order of first appearance; empty in other modes.
    std::vector<CArtistGroup> Artists() const;
    std::vector<CGenreGroup> Genres() const;
    std::vector<CAlbumGroup> Albums() const;

    // By node: its name, its number of tracks, and its tracks in list order.
    std::string_view Name(Node node) const;
    std::size_t Size(Node node) const { return nodes_[node].end - nodes_[node].begin; }
    TrackArray Tracks(Node node) const;
    // The subgroups of a top-level group, in order of first appearance.
    std::vector<CArtistGroup> Subgroups(Node node) const;
    // The deepest node that holds the track (its artist, or its subgroup); kNoNode for a track
    // that is not filed.
    Node NodeOf(const CMp3File* track) const;

private:
    struct SNode {
        Node parent;         // kNoNode for a top-level group
        std::uint32_t first; // the place of its first track, which names it
        std::uint32_t begin; // its run of order_; while filing, end counts its tracks first
        std::uint32_t end;
        Node child = kNoNode; // the first subgroup
        Node next = kNoNode;  // the next subgroup of the same parent
        std::uint32_t hash;   // of the name as it shows, with the parent
    };
    // The nodes of the track filed last, and the texts they were found by.
    struct SLast {
        std::string_view key, artist;
        Node group = kNoNode;
        Node leaf = kNoNode;
    };

    template <class Group>
    std::vector<Group> TopLevel(EDisplayMode mode) const;
    Node FindLeaf(std::uint32_t place, SLast& last);
    Node FindOrAdd(Node parent, std::string_view name, std::uint32_t place);
    std::string_view KeyOf(Node parent, const CMp3File& track) const;
    void Place(Node node);
    void LayOut();

    const TrackArray* tracks_ = nullptr;
    EDisplayMode mode_ = EDisplayMode::Artist;
    std::vector<SNode> nodes_; // in order of first appearance
    std::vector<Node> groups_; // the top-level ones
    std::vector<std::uint32_t> order_;
    std::vector<Node> index_; // open addressing by hash, at most half full; only while filing
};
