#include "catalog/CatalogGroups.h"
#include "model/Mp3File.h"

#include <gtest/gtest.h>

#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

using Filed = std::map<std::string, std::vector<CMp3File*>>;

// What each group must hold: its tracks in filing order, under its name.
template <class Groups>
Filed Holdings(const Groups& groups) {
    Filed filed;
    for (const auto& group : groups) {
        filed[group->name].assign(group->tracks.begin(), group->tracks.end());
        if constexpr (requires { group->artists; })
            for (const auto& artist : group->artists)
                filed[group->name + "/" + artist->name].assign(artist->tracks.begin(),
                                                               artist->tracks.end());
    }
    return filed;
}

template <class Groups>
bool EveryArrayAtItsSize(const Groups& groups) {
    for (const auto& group : groups) {
        if (group->tracks.capacity() != group->tracks.size())
            return false;
        if constexpr (requires { group->artists; })
            for (const auto& artist : group->artists)
                if (artist->tracks.capacity() != artist->tracks.size())
                    return false;
    }
    return true;
}

} // namespace

// Tracks that change artist, album and genre at different paces, filed in one go and in two
// goes (as the favourites' directories are), against the groups a plain map makes of them.
// Filed in one go, every array is made at its final size.
TEST(CatalogGroups, FilesEveryTrackWhereAPlainMapDoes) {
    std::vector<CMp3File> records(3000);
    std::vector<CMp3File*> tracks;
    Filed artists, genres, albums;
    for (std::size_t i = 0; i < records.size(); ++i) {
        CMp3File& track = records[i];
        const std::string artist = "Artist " + std::to_string(i / 7 % 40);
        const std::string album = "Album " + std::to_string(i / 12);
        track.SetArtist(artist);
        track.SetAlbum(album);
        track.SetGenre(static_cast<std::uint8_t>(i / 30 % 9));
        const std::string genre(track.GetGenreName());
        tracks.push_back(&track);
        artists[artist].push_back(&track);
        for (const auto& [name, filed] : {std::pair{genre, &genres}, std::pair{album, &albums}}) {
            (*filed)[name].push_back(&track);
            (*filed)[name + "/" + artist].push_back(&track);
        }
    }
    CCatalogGroups groups;
    for (const std::size_t split : {records.size(), std::size_t{1000}}) {
        groups.File(std::span(tracks).first(split));
        groups.File(std::span(tracks).subspan(split));
        EXPECT_EQ(Holdings(groups.Artists()), artists) << split;
        EXPECT_EQ(Holdings(groups.Genres()), genres) << split;
        EXPECT_EQ(Holdings(groups.Albums()), albums) << split;
        if (split == records.size()) {
            EXPECT_TRUE(EveryArrayAtItsSize(groups.Artists()));
            EXPECT_TRUE(EveryArrayAtItsSize(groups.Genres()));
            EXPECT_TRUE(EveryArrayAtItsSize(groups.Albums()));
        }
        groups.Clear();
        EXPECT_EQ(groups.Artists().GetSize(), 0u);
    }
}
