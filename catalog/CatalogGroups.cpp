#include "catalog/CatalogGroups.h"

#include "model/Mp3File.h"

namespace {

// Makes room for the tracks counted since the last time, and no more.
template <class Group>
void ReserveCounted(Group& group) {
    group.tracks.reserve(group.tracks.size() + group.counted);
    group.counted = 0;
}

template <class Group>
void ReserveWithArtists(const TGroupList<Group>& groups) {
    for (Group* group : groups) {
        ReserveCounted(*group);
        for (CArtistGroup* artist : group->artists)
            ReserveCounted(*artist);
    }
}

} // namespace

void CCatalogGroups::File(std::span<CMp3File* const> tracks) {
    for (const CMp3File* track : tracks)
        Count(*track);
    Reserve();
    for (CMp3File* track : tracks)
        Add(track);
}

void CCatalogGroups::Clear() {
    genres_.Clear();
    artists_.Clear();
    albums_.Clear();
    memory_.release();
}

void CCatalogGroups::Count(const CMp3File& track) {
    const std::string_view artist = track.Artist();
    ++artists_.FindOrAdd(artist).counted;
    CGenreGroup& genre = genres_.FindOrAdd(track.GetGenreName());
    ++genre.counted;
    ++genre.artists.FindOrAdd(artist).counted;
    CAlbumGroup& album = albums_.FindOrAdd(track.Album());
    ++album.counted;
    ++album.artists.FindOrAdd(artist).counted;
}

void CCatalogGroups::Reserve() {
    for (CArtistGroup* artist : artists_)
        ReserveCounted(*artist);
    ReserveWithArtists(genres_);
    ReserveWithArtists(albums_);
}

// Every group was found or made by Count: each lookup here finds it, and no array grows.
void CCatalogGroups::Add(CMp3File* track) {
    const std::string_view artist = track->Artist();
    artists_.FindOrAdd(artist).tracks.push_back(track);
    CGenreGroup& genre = genres_.FindOrAdd(track->GetGenreName());
    genre.tracks.push_back(track);
    genre.artists.FindOrAdd(artist).tracks.push_back(track);
    CAlbumGroup& album = albums_.FindOrAdd(track->Album());
    album.tracks.push_back(track);
    album.artists.FindOrAdd(artist).tracks.push_back(track);
}
