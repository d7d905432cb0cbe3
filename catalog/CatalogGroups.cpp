#include "catalog/CatalogGroups.h"

#include "model/Mp3File.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <span>

namespace {

// The parent goes into the hash, so that an artist found under two albums is two slots.
std::uint32_t HashOf(std::uint64_t nameHash, CCatalogGroups::Node parent) {
    const std::uint64_t hash = nameHash ^ (std::uint64_t{parent} * 0x9E3779B97F4A7C15u);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::uint32_t HashOf(std::string_view name, CCatalogGroups::Node parent) {
    return HashOf(CUtf8::HashShown(name), parent);
}

// An album under its artist, by the hash of the artist's name rather than by its node, so that
// it is known before the artist is found.
std::uint32_t AlbumHash(std::string_view album, std::uint64_t ownerHash) {
    const std::uint64_t hash = CUtf8::HashShown(album) ^ (ownerHash * 0xC2B2AE3D27D4EB4Fu);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::string_view VariousArtists() {
    return CStringTable::Get(EStringId::VariousArtists);
}

} // namespace

void CCatalogGroups::SetOptions(const SOptions& options) {
    options_ = options;
    sortName_ = CSortName(options.ignoredArticles);
}

// Two passes over the list. The first finds or makes each track's groups and counts the tracks
// of each subgroup; the runs are then laid out, and the second pass finds the groups again and
// puts each place in its run. Every array is made at its final size.
void CCatalogGroups::File(const TrackArray& tracks, EDisplayMode mode) {
    Clear();
    tracks_ = &tracks;
    mode_ = mode;
    if (options_.byAlbumArtist && mode != EDisplayMode::GenreArtist) {
        FileByAlbumArtist();
        return;
    }
    index_.assign(16, {});
    subIndex_.assign(16, {});
    const auto count = static_cast<std::uint32_t>(tracks.size());
    SLast last;
    for (std::uint32_t place = 0; place < count; ++place)
        ++nodes_[FindLeaf(place, last)].end;
    LayOut();
    order_.resize(count);
    last = {};
    for (std::uint32_t place = 0; place < count; ++place)
        order_[nodes_[FindLeaf(place, last)].end++] = place;
    index_ = {};
    subIndex_ = {};
    names_ = {};
}

void CCatalogGroups::Clear() {
    tracks_ = nullptr;
    nodes_ = {};
    groups_ = {};
    order_ = {};
    index_ = {};
    subIndex_ = {};
    names_ = {};
    copies_ = {};
}

// Tracks come folder by folder, and the tracks of a folder mostly share their artist, genre and
// album: a text of the same bytes as the track before's is the same group, found without a
// lookup. Texts of other bytes are looked up, as they may still show alike.
CCatalogGroups::Node CCatalogGroups::FindLeaf(std::uint32_t place, SLast& last) {
    const CMp3File& track = *(*tracks_)[place];
    const std::string_view artist = track.Artist();
    if (mode_ != EDisplayMode::Artist) {
        const std::string_view key = KeyOf(kNoNode, track);
        if (last.group == kNoNode || key != last.key) {
            last.key = key;
            last.group = FindOrAdd(kNoNode, key, place);
            last.leaf = kNoNode;
        }
    }
    if (last.leaf == kNoNode || artist != last.artist) {
        last.artist = artist;
        last.leaf = FindOrAdd(last.group, artist, place);
    }
    return last.leaf;
}

CCatalogGroups::Node CCatalogGroups::FindOrAdd(Node parent, std::string_view name,
                                               std::uint32_t place) {
    const EText text = parent != kNoNode || mode_ == EDisplayMode::Artist ? EText::Artist
                       : mode_ == EDisplayMode::GenreArtist               ? EText::Genre
                                                                          : EText::Album;
    return FindOrAdd(parent, HashOf(name, parent), place, {name, text}, [&](Node node) {
        return CUtf8::SameShown(KeyOf(parent, *(*tracks_)[nodes_[node].first]), name);
    });
}

template <class Same>
CCatalogGroups::Node CCatalogGroups::FindOrAdd(Node parent, std::uint32_t hash, std::uint32_t place,
                                               SKey key, Same same) {
    std::vector<SSlot>& index = parent == kNoNode ? index_ : subIndex_;
    const std::size_t mask = index.size() - 1;
    for (std::size_t slot = hash & mask; index[slot].node != kNoNode; slot = (slot + 1) & mask) {
        if (index[slot].hash != hash)
            continue;
        const Node found = index[slot].node;
        if (nodes_[found].parent == parent && same(found))
            return found;
    }
    const auto added = static_cast<Node>(nodes_.size());
    nodes_.push_back({.parent = parent,
                      .first = place,
                      .begin = 0,
                      .end = 0,
                      .hash = hash,
                      .text = key.kind,
                      .nth = key.nth});
    names_.push_back(key.text);
    if (parent == kNoNode && copyNames_)
        names_.back() = copies_.emplace_back(key.text);
    if (parent == kNoNode)
        groups_.push_back(added);
    const std::size_t level = parent == kNoNode ? groups_.size() : nodes_.size() - groups_.size();
    if (level * 2 > index.size()) {
        index.assign(index.size() * 2, {});
        for (Node node = 0; node < nodes_.size(); ++node)
            if ((nodes_[node].parent == kNoNode) == (parent == kNoNode))
                Place(node);
    } else {
        Place(added);
    }
    return added;
}

// As File, but a track may have several leaves, one under each artist it names. One pass takes
// the list run by run (catalog/CompilationRule.h): it counts a run's tracks towards the verdict
// on their album, then finds each track's leaves and counts their places, keeping the leaf of
// each track (and the leaves of the few with several) for the pass that fills the runs. Should a
// run revise the verdict on an album filed before, the tracks filed so far may be in the wrong
// groups: the rest of the list is then counted, and the pass made again with the verdicts final.
void CCatalogGroups::FileByAlbumArtist() {
    copyNames_ = true;
    compilations_.Start(*tracks_, options_.detectCompilations);
    const auto count = static_cast<std::uint32_t>(tracks_->size());
    SFiling filing;
    filing.leafOf.assign(count, kNoNode);
    if (!FileRuns(true, filing))
        FileRuns(false, filing);
    compilations_.Clear();
    index_ = {};
    subIndex_ = {};
    names_ = {};
    owners_ = {};
    copies_ = {};
    copyNames_ = false;
    LayOut();
    order_.resize(filing.places);
    std::size_t at = 0;
    const auto& several = filing.several;
    for (std::uint32_t place = 0; place < count; ++place) {
        if (filing.leafOf[place] != kNoNode)
            order_[nodes_[filing.leafOf[place]].end++] = place;
        for (; at < several.size() && several[at].first == place; ++at)
            order_[nodes_[several[at].second].end++] = place;
    }
}

// False when a run counted revised the verdict on an album filed before: the rest of the list is
// then counted, and the filing must be made again.
bool CCatalogGroups::FileRuns(bool counting, SFiling& filing) {
    nodes_.clear();
    groups_.clear();
    names_.clear();
    owners_.clear();
    copies_.clear();
    index_.assign(16, {});
    subIndex_.assign(16, {});
    filing.several.clear();
    filing.places = 0;
    compilations_.Rewind();
    const auto count = static_cast<std::uint32_t>(tracks_->size());
    SLast last;
    for (std::uint32_t place = 0; place < count;) {
        const std::uint32_t end = compilations_.Run(place, counting);
        if (counting && compilations_.Revised()) {
            for (std::uint32_t rest = end; rest < count;)
                rest = compilations_.Run(rest, true);
            return false;
        }
        if (end < count)
            PrefetchAlbum(end, last);
        for (; place < end; ++place) {
            int found = 0;
            Node& leafOf = filing.leafOf[place];
            FindLeaves(place, last, [&](Node leaf) {
                ++nodes_[leaf].end;
                ++filing.places;
                if (++found == 2)
                    filing.several.emplace_back(place, leafOf);
                if (found >= 2)
                    filing.several.emplace_back(place, leaf);
                leafOf = leaf;
            });
            if (found != 1)
                leafOf = kNoNode;
        }
    }
    return true;
}

// An artist's albums are its subgroups. A track that names several artists and no album artist
// is under each of them, once, found without the track before as a guide, which stays that of
// the track after. A track of the same album of the same folder as the track before is of the
// same album node when it is of the same artist node.
template <class Visit>
void CCatalogGroups::FindLeaves(std::uint32_t place, SLast& last, Visit visit) {
    if (mode_ == EDisplayMode::AlbumArtist) {
        visit(FindAlbumLeaf(place, last));
        return;
    }
    const CMp3File& track = *(*tracks_)[place];
    const bool compilation = compilations_.Compilation(track);
    if (!compilation && !track.ArtistList().empty() && !track.HasAlbumArtist()) {
        const std::vector<std::string_view> names = track.Artists();
        const std::size_t count = std::min<std::size_t>(names.size(), UINT8_MAX);
        for (std::size_t i = 0; i < count; ++i) {
            const auto same = [&](std::string_view name) {
                return CUtf8::SameShown(name, names[i]);
            };
            if (std::any_of(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(i), same))
                continue;
            const SKey artist{names[i], EText::Listed, static_cast<std::uint8_t>(i)};
            const std::uint64_t hash = CUtf8::HashShown(names[i]);
            const Node group = FindOwned(kNoNode, artist, place, HashOf(hash, kNoNode));
            visit(FindOwned(group, {track.Album(), EText::Album}, place,
                            AlbumHash(track.Album(), hash)));
        }
        return;
    }
    const SKey owner = OwnerOf(place, compilation);
    if (last.group == kNoNode || owner.text != last.key) {
        const bool guessed = place == last.next && owner.text.data() == last.nextOwner.data() &&
                             owner.text.size() == last.nextOwner.size();
        last.key = owner.text;
        last.ownerHash = guessed ? last.nextOwnerHash : CUtf8::HashShown(owner.text);
        last.group = FindOwned(kNoNode, owner, place, HashOf(last.ownerHash, kNoNode));
        last.leaf = kNoNode;
    }
    if (last.leaf == kNoNode || compilations_.Album() != last.albumOf) {
        last.albumOf = compilations_.Album();
        const bool guessed = place == last.next && owner.text.data() == last.nextOwner.data() &&
                             owner.text.size() == last.nextOwner.size();
        last.leaf = FindOwned(last.group, {track.Album(), EText::Album}, place,
                              guessed ? last.nextHash : AlbumHash(track.Album(), last.ownerHash));
    }
    visit(last.leaf);
}

// The slots of the artist and the album that the run starting at `place` is likely filed under
// are asked of memory while the run before is filed; a guess that fails costs the hash alone. Its
// artist is guessed as the tracks of no compilation by the rule for folders, which are most, go.
void CCatalogGroups::PrefetchAlbum(std::uint32_t place, SLast& last) const {
    const CMp3File& track = *(*tracks_)[place];
    if (mode_ == EDisplayMode::AlbumArtist ||
        (!track.ArtistList().empty() && !track.HasAlbumArtist()))
        return;
    last.next = place;
    last.nextOwner = OwnerOf(place, CCompilationRule::Tagged(track)).text;
    last.nextOwnerHash = CUtf8::HashShown(last.nextOwner);
    last.nextHash = AlbumHash(track.Album(), last.nextOwnerHash);
    __builtin_prefetch(&index_[HashOf(last.nextOwnerHash, kNoNode) & (index_.size() - 1)]);
    __builtin_prefetch(&subIndex_[last.nextHash & (subIndex_.size() - 1)]);
}

// Albums by their album artist; an album of a folder that names none goes by the artist of its
// first track, so that its tracks featuring others stay one album.
CCatalogGroups::SKey CCatalogGroups::OwnerOf(std::uint32_t place, bool compilation) const {
    const CMp3File& track = *(*tracks_)[place];
    if (compilation)
        return {VariousArtists(), EText::Various};
    if (track.HasAlbumArtist())
        return {track.AlbumArtist(), EText::AlbumArtist};
    if (mode_ == EDisplayMode::Artist)
        return {track.Artist(), EText::Artist};
    const CMp3File& first = *(*tracks_)[compilations_.FirstOfAlbum()];
    return {CCompilationRule::MainArtist(first.Artist()), EText::Artist};
}

CCatalogGroups::Node CCatalogGroups::FindAlbumLeaf(std::uint32_t place, SLast& last) {
    const CMp3File& track = *(*tracks_)[place];
    const std::string_view owner = OwnerOf(place, compilations_.Compilation(track)).text;
    const std::string_view album = track.Album();
    if (last.group == kNoNode || owner != last.key || album != last.album) {
        last.key = owner;
        last.album = album;
        const std::uint64_t hash =
            HashOf(album, kNoNode) ^ (CUtf8::HashShown(owner) * 0xC2B2AE3D27D4EB4Fu);
        const auto same = [&](Node node) {
            return CUtf8::SameShown(names_[node], album) && CUtf8::SameShown(owners_[node], owner);
        };
        last.group = FindOrAdd(kNoNode, static_cast<std::uint32_t>(hash ^ (hash >> 32)), place,
                               {album, EText::Album}, same);
        if (last.group >= owners_.size()) {
            owners_.resize(last.group + 1);
            owners_[last.group] = owner;
        }
        last.leaf = kNoNode;
    }
    if (last.leaf == kNoNode || track.Artist() != last.artist) {
        last.artist = track.Artist();
        last.leaf = FindOwned(last.group, {last.artist, EText::Artist}, place,
                              HashOf(last.artist, last.group));
    }
    return last.leaf;
}

CCatalogGroups::Node CCatalogGroups::FindOwned(Node parent, SKey key, std::uint32_t place,
                                               std::uint32_t hash) {
    return FindOrAdd(parent, hash, place, key,
                     [&](Node node) { return CUtf8::SameShown(names_[node], key.text); });
}

void CCatalogGroups::Place(Node node) {
    std::vector<SSlot>& index = nodes_[node].parent == kNoNode ? index_ : subIndex_;
    const std::size_t mask = index.size() - 1;
    std::size_t slot = nodes_[node].hash & mask;
    while (index[slot].node != kNoNode)
        slot = (slot + 1) & mask;
    index[slot] = {nodes_[node].hash, node};
}

// A top-level group's text in the genre and album modes; the artist otherwise.
std::string_view CCatalogGroups::KeyOf(Node parent, const CMp3File& track) const {
    if (parent != kNoNode || mode_ == EDisplayMode::Artist)
        return track.Artist();
    return mode_ == EDisplayMode::GenreArtist ? track.GetGenreName() : track.Album();
}

// Nodes are numbered in order of first appearance: taken last to first, each subgroup put at the
// front of its parent's list leaves every list in that order. The runs then follow the groups'
// order, and each subgroup's run starts empty, to be filled by the second pass.
void CCatalogGroups::LayOut() {
    for (Node node = static_cast<Node>(nodes_.size()); node-- > 0;) {
        SNode& subgroup = nodes_[node];
        if (subgroup.parent != kNoNode) {
            subgroup.next = nodes_[subgroup.parent].child;
            nodes_[subgroup.parent].child = node;
        }
    }
    std::uint32_t at = 0;
    const auto start = [&at](SNode& leaf) {
        const std::uint32_t count = leaf.end;
        leaf.begin = leaf.end = at;
        at += count;
    };
    for (const Node node : groups_) {
        SNode& group = nodes_[node];
        if (group.child == kNoNode) {
            start(group);
            continue;
        }
        group.begin = at;
        for (Node child = group.child; child != kNoNode; child = nodes_[child].next)
            start(nodes_[child]);
        group.end = at;
    }
}

template <class Group>
std::vector<Group> CCatalogGroups::TopLevel(EDisplayMode mode) const {
    std::vector<Group> groups;
    if (mode != mode_ || tracks_ == nullptr)
        return groups;
    groups.reserve(groups_.size());
    for (const Node node : groups_)
        groups.emplace_back(*this, node);
    return groups;
}

std::vector<CArtistGroup> CCatalogGroups::Artists() const {
    return TopLevel<CArtistGroup>(EDisplayMode::Artist);
}

std::vector<CGenreGroup> CCatalogGroups::Genres() const {
    return TopLevel<CGenreGroup>(EDisplayMode::GenreArtist);
}

std::vector<CAlbumGroup> CCatalogGroups::Albums() const {
    return TopLevel<CAlbumGroup>(EDisplayMode::AlbumArtist);
}

std::vector<CArtistGroup> CCatalogGroups::Subgroups(Node node) const {
    std::vector<CArtistGroup> subgroups;
    for (Node child = nodes_[node].child; child != kNoNode; child = nodes_[child].next)
        subgroups.emplace_back(*this, child);
    return subgroups;
}

std::string_view CCatalogGroups::Name(Node node) const {
    return TextOf(nodes_[node]);
}

std::string_view CCatalogGroups::TextOf(const SNode& node) const {
    if (node.text == EText::Various)
        return VariousArtists();
    if (tracks_ == nullptr || node.first >= tracks_->size())
        return {};
    const CMp3File& track = *(*tracks_)[node.first];
    switch (node.text) {
    case EText::Genre:
        return track.GetGenreName();
    case EText::Album:
        return track.Album();
    case EText::AlbumArtist:
        return track.AlbumArtist();
    case EText::Listed: {
        const std::vector<std::string_view> names = track.Artists();
        return node.nth < names.size() ? names[node.nth] : track.Artist();
    }
    default:
        return track.Artist();
    }
}

// A subgroup's run is in list order already; a group's runs are merged back into it.
TrackArray CCatalogGroups::Tracks(Node node) const {
    const SNode& n = nodes_[node];
    const auto run = std::span(order_).subspan(n.begin, n.end - n.begin);
    std::vector<std::uint32_t> sorted;
    if (n.child != kNoNode) {
        sorted.assign(run.begin(), run.end());
        std::sort(sorted.begin(), sorted.end());
    }
    TrackArray tracks;
    tracks.reserve(run.size());
    for (const std::uint32_t place : sorted.empty() ? run : std::span(sorted))
        if (place < tracks_->size())
            tracks.push_back((*tracks_)[place]);
    return tracks;
}

CCatalogGroups::Node CCatalogGroups::NodeOf(const CMp3File* track) const {
    if (tracks_ == nullptr)
        return kNoNode;
    const auto found = std::find(tracks_->begin(), tracks_->end(), track);
    const auto at = std::find(order_.begin(), order_.end(),
                              static_cast<std::uint32_t>(found - tracks_->begin()));
    if (found == tracks_->end() || at == order_.end())
        return kNoNode;
    const auto run = static_cast<std::uint32_t>(at - order_.begin());
    for (Node node = 0; node < nodes_.size(); ++node)
        if (nodes_[node].child == kNoNode && nodes_[node].begin <= run && run < nodes_[node].end)
            return node;
    return kNoNode;
}

// Those without a name first, then the compilations, then by sort name; names of one sort name
// by their bytes, so that the order is the same at each filing.
std::string CCatalogGroups::SortKey(Node node) const {
    const SNode& n = nodes_[node];
    if (n.text == EText::Various)
        return std::string(1, '\1');
    const std::string_view name = TextOf(n);
    if (CUtf8::SameShown(name, CStringTable::Get(EStringId::Undefined)))
        return std::string(1, '\0');
    std::string_view tag;
    if (tracks_ != nullptr && n.first < tracks_->size()) {
        const CMp3File& track = *(*tracks_)[n.first];
        tag = n.text == EText::Artist        ? track.ArtistSort()
              : n.text == EText::AlbumArtist ? track.AlbumArtistSort()
              : n.text == EText::Album       ? track.AlbumSort()
                                             : std::string_view();
    }
    std::string key = "\2" + sortName_.Key(name, tag);
    key += '\0';
    key += name;
    return key;
}
