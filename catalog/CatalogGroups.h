#pragma once

#include "catalog/AlbumGroup.h"
#include "catalog/ArtistGroup.h"
#include "catalog/CompilationRule.h"
#include "catalog/DisplayMode.h"
#include "catalog/GenreGroup.h"
#include "catalog/GroupNode.h"
#include "catalog/SortName.h"
#include "model/TrackArray.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
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
//
// Grouped by album artist, a track is filed under its album artist, else under each artist it
// names, with the artist's albums as subgroups; a compilation's tracks under one group of
// "Various Artists"; albums by album artist and album. A track then costs one place for each
// group it is in, and only tracks that name several artists are in more than one.
class CCatalogGroups {
public:
    using Node = GroupNode;
    static constexpr Node kNoNode = kNoGroupNode;

    struct SOptions {
        bool byAlbumArtist = false; // else by the track's artist text alone
        bool detectCompilations = true;
        std::string ignoredArticles;
    };
    // Taken at the next File.
    void SetOptions(const SOptions& options);
    const SOptions& Options() const { return options_; }

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
    // The subgroups of a top-level group, in order of first appearance: its artists, or its
    // albums for an artist grouped by album artist.
    std::vector<CArtistGroup> Subgroups(Node node) const;
    // Grouped by album artist, siblings stand in the order of their sort names, the tracks
    // without a name and the compilations first; else in the order of their names, which the
    // tree gives them.
    bool SortsByName() const { return options_.byAlbumArtist; }
    // The key the node is sorted by among its siblings.
    std::string SortKey(Node node) const;
    template <class Group>
    void Sort(std::vector<Group>& siblings) const;
    // The deepest node that holds the track (its artist, or its subgroup); kNoNode for a track
    // that is not filed.
    Node NodeOf(const CMp3File* track) const;

private:
    // Which text of its first track names a node.
    enum class EText : std::uint8_t { Artist, Genre, Album, AlbumArtist, Listed, Various };
    struct SNode {
        Node parent;         // kNoNode for a top-level group
        std::uint32_t first; // the place of its first track, which names it
        std::uint32_t begin; // its run of order_; while filing, end counts its tracks first
        std::uint32_t end;
        Node child = kNoNode; // the first subgroup
        Node next = kNoNode;  // the next subgroup of the same parent
        std::uint32_t hash;   // of the name as it shows, with the parent
        EText text = EText::Artist;
        std::uint8_t nth = 0; // of the artists listed
    };
    // The nodes of the track filed last, and the texts they were found by.
    struct SLast {
        std::string_view key, artist, album;
        Node group = kNoNode;
        Node leaf = kNoNode;
        std::uint32_t albumOf = 0;   // the album of a folder, by album artist
        std::uint64_t ownerHash = 0; // of key
        // The album the next run is likely filed under: its place, artist and hashes.
        std::uint32_t next = UINT32_MAX;
        std::string_view nextOwner;
        std::uint64_t nextOwnerHash = 0;
        std::uint32_t nextHash = 0;
    };
    // The key of a node grouped by album artist: the text that names it, with its kind.
    struct SKey {
        std::string_view text;
        EText kind;
        std::uint8_t nth = 0;
    };

    template <class Group>
    std::vector<Group> TopLevel(EDisplayMode mode) const;
    Node FindLeaf(std::uint32_t place, SLast& last);
    Node FindOrAdd(Node parent, std::string_view name, std::uint32_t place);
    template <class Same>
    Node FindOrAdd(Node parent, std::uint32_t hash, std::uint32_t place, SKey key, Same same);
    // A slot of an index: the node, and its hash beside it so that a probe reads no node.
    struct SSlot {
        std::uint32_t hash = 0;
        Node node = kNoNode;
    };
    std::string_view KeyOf(Node parent, const CMp3File& track) const;
    std::string_view TextOf(const SNode& node) const;
    // Each track's leaf, or kNoNode for a track of several, whose leaves are listed by place.
    struct SFiling {
        std::vector<Node> leafOf;
        std::vector<std::pair<std::uint32_t, Node>> several;
        std::size_t places = 0;
    };
    void FileByAlbumArtist();
    bool FileRuns(bool counting, SFiling& filing);
    template <class Visit>
    void FindLeaves(std::uint32_t place, SLast& last, Visit visit);
    void FindArtistLeaves(std::uint32_t place, SLast& last, std::vector<Node>& leaves);
    Node FindAlbumLeaf(std::uint32_t place, SLast& last);
    // `compilation`: whether the track is part of a compilation, which the caller knows.
    SKey OwnerOf(std::uint32_t place, bool compilation) const;
    Node FindOwned(Node parent, SKey key, std::uint32_t place, std::uint32_t hash);
    void PrefetchAlbum(std::uint32_t place, SLast& last) const;
    void Place(Node node);
    void LayOut();

    const TrackArray* tracks_ = nullptr;
    EDisplayMode mode_ = EDisplayMode::Artist;
    SOptions options_;
    CSortName sortName_;
    CCompilationRule compilations_; // only while filing
    std::vector<SNode> nodes_;      // in order of first appearance
    std::vector<Node> groups_;      // the top-level ones
    std::vector<std::uint32_t> order_;
    // Open addressing by hash, at most half full; only while filing. The groups have an index of
    // their own, which stays small where albums are many.
    std::vector<SSlot> index_;
    std::vector<SSlot> subIndex_;
    // Each node's name while filing, as TextOf gives it: a lookup that meets a node of the same
    // hash compares without reading the node's first track again.
    std::vector<std::string_view> names_;
    // Grouped by album artist, the names of the top-level groups are copies, side by side: they
    // are met again at every album, and the first tracks that hold them would have left the
    // cache meanwhile. A deque, whose elements stay where they are as it grows.
    std::deque<std::string> copies_;
    bool copyNames_ = false;
    // By album node in the album mode, while filing: the artist the album goes by.
    std::vector<std::string_view> owners_;
};

template <class Group>
void CCatalogGroups::Sort(std::vector<Group>& siblings) const {
    std::vector<std::pair<std::string, Group>> keyed;
    keyed.reserve(siblings.size());
    for (const Group& group : siblings)
        keyed.emplace_back(SortKey(group.Node()), group);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        siblings[i] = keyed[i].second;
}
