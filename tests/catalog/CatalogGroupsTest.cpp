#include "catalog/CatalogGroups.h"
#include "model/Mp3File.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// Groups by name as it shows, each with its tracks in list order, and the names in order of
// first appearance, each group's subgroups after it: what the catalog must file, as plain maps
// make it.
struct SExpected {
    std::vector<std::string> groups;
    std::map<std::string, std::vector<std::string>> subgroups;
    std::map<std::string, std::vector<CMp3File*>> tracks;

    void Add(const std::string& key, const std::string& name, CMp3File* track,
             const std::string& parent = {}) {
        if (!tracks.contains(key))
            (parent.empty() ? groups : subgroups[parent]).push_back(name);
        tracks[key].push_back(track);
    }
    std::vector<std::string> Order() const {
        std::vector<std::string> order;
        for (const std::string& group : groups) {
            order.push_back(group);
            if (const auto subs = subgroups.find(group); subs != subgroups.end())
                order.insert(order.end(), subs->second.begin(), subs->second.end());
        }
        return order;
    }
};

using Filed = std::pair<std::vector<std::string>, std::map<std::string, std::vector<CMp3File*>>>;

template <class Group>
Filed Holdings(const std::vector<Group>& groups) {
    Filed filed;
    for (const Group& group : groups) {
        const std::string name(group.Name());
        const TrackArray tracks = group.Tracks();
        EXPECT_EQ(tracks.size(), group.Size()) << name;
        filed.first.push_back(name);
        filed.second[CUtf8::DisplayText(name)].assign(tracks.begin(), tracks.end());
        if constexpr (requires { group.Artists(); })
            for (const CArtistGroup& artist : group.Artists()) {
                const TrackArray own = artist.Tracks();
                const std::string key =
                    CUtf8::DisplayText(name) + "/" + CUtf8::DisplayText(artist.Name());
                filed.first.push_back(name + "/" + std::string(artist.Name()));
                filed.second[key].assign(own.begin(), own.end());
            }
    }
    return filed;
}

// Artist names that keep coming back in an order of their own, past any small table; among them
// one name in Latin-1 and in UTF-8 (one group, named as first met), and names that differ only
// by case or by a zero byte (groups of their own).
std::vector<std::string> Names() {
    std::vector<std::string> names = {"",
                                      "a",
                                      "A",
                                      std::string("a\0b", 3),
                                      "Bj\xF6rk",
                                      "Bj\xC3\xB6rk",
                                      "a long name past the small buffer"};
    for (int i = 0; i < 1500; ++i)
        names.push_back("Artist " + std::to_string(i));
    return names;
}

} // namespace

// Tracks whose artist, album and genre change at different paces, filed in each mode against
// the groups a plain map makes of them: names, order, and tracks in list order, for groups and
// subgroups; each track's deepest node holds it. Filing again replaces what was filed.
TEST(CatalogGroups, FilesEveryTrackWhereAPlainMapDoes) {
    const std::vector<std::string> names = Names();
    std::vector<CMp3File> records(12000);
    TrackArray tracks;
    SExpected artists, genres, albums;
    for (std::size_t i = 0; i < records.size(); ++i) {
        CMp3File& track = records[i];
        const std::string& artist = names[(i * 7919 + i / 13) % names.size()];
        const std::string album = "Album " + std::to_string(i / 12 % 700);
        track.SetArtist(artist);
        track.SetAlbum(album);
        track.SetGenre(static_cast<std::uint8_t>(i / 30 % 9));
        const std::string genre(track.GetGenreName());
        const std::string shown = CUtf8::DisplayText(artist);
        tracks.push_back(&track);
        artists.Add(shown, artist, &track);
        for (auto [name, expected] : {std::pair{genre, &genres}, std::pair{album, &albums}}) {
            expected->Add(name, name, &track);
            expected->Add(name + "/" + shown, name + "/" + artist, &track, name);
        }
    }
    ASSERT_EQ(artists.groups.size(), names.size() - 1) << "the two forms of Bj\xC3\xB6rk are one";
    CCatalogGroups groups;
    const auto check = [&](EDisplayMode mode, const auto& filed, const SExpected& expected) {
        groups.File(tracks, mode);
        EXPECT_EQ(filed().first, expected.Order());
        EXPECT_EQ(filed().second, expected.tracks);
        for (std::size_t i = 0; i < tracks.size(); i += 97) {
            const CCatalogGroups::Node node = groups.NodeOf(tracks[i]);
            ASSERT_NE(node, CCatalogGroups::kNoNode);
            EXPECT_EQ(CUtf8::DisplayText(groups.Name(node)),
                      CUtf8::DisplayText(tracks[i]->Artist()));
            const TrackArray held = groups.Tracks(node);
            EXPECT_NE(std::find(held.begin(), held.end(), tracks[i]), held.end());
        }
    };
    check(
        EDisplayMode::GenreArtist, [&] { return Holdings(groups.Genres()); }, genres);
    EXPECT_TRUE(groups.Artists().empty()) << "only the mode's groups are filed";
    check(
        EDisplayMode::Artist, [&] { return Holdings(groups.Artists()); }, artists);
    check(
        EDisplayMode::AlbumArtist, [&] { return Holdings(groups.Albums()); }, albums);
    groups.Clear();
    EXPECT_TRUE(groups.Albums().empty());
    EXPECT_EQ(groups.NodeOf(tracks[0]), CCatalogGroups::kNoNode);
}
