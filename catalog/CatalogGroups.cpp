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
    SLast last;
    for (const CMp3File* track : tracks) {
        Find(*track, last);
        ++last.artistGroup->counted;
        ++last.genreGroup->counted;
        ++last.genreArtist->counted;
        ++last.albumGroup->counted;
        ++last.albumArtist->counted;
    }
    Reserve();
    last = {};
    for (CMp3File* track : tracks) {
        Find(*track, last);
        last.artistGroup->tracks.push_back(track);
        last.genreGroup->tracks.push_back(track);
        last.genreArtist->tracks.push_back(track);
        last.albumGroup->tracks.push_back(track);
        last.albumArtist->tracks.push_back(track);
    }
}

void CCatalogGroups::Clear() {
    genres_.Clear();
    artists_.Clear();
    albums_.Clear();
    memory_.release();
}

// Tracks come folder by folder, and the tracks of a folder mostly share their artist, genre
// and album: a name of the same bytes as the track before's is the same group, found without a
// lookup. Names of other bytes are looked up, as they may still show alike.
void CCatalogGroups::Find(const CMp3File& track, SLast& last) {
    const std::string_view artist = track.Artist();
    const std::string_view genre = track.GetGenreName();
    const std::string_view album = track.Album();
    const bool sameArtist = last.artistGroup != nullptr && artist == last.artist;
    if (!sameArtist) {
        last.artist = artist;
        last.artistGroup = &artists_.FindOrAdd(artist);
    }
    if (!sameArtist || last.genreGroup == nullptr || genre != last.genre) {
        if (last.genreGroup == nullptr || genre != last.genre) {
            last.genre = genre;
            last.genreGroup = &genres_.FindOrAdd(genre);
        }
        last.genreArtist = &last.genreGroup->artists.FindOrAdd(artist);
    }
    if (!sameArtist || last.albumGroup == nullptr || album != last.album) {
        if (last.albumGroup == nullptr || album != last.album) {
            last.album = album;
            last.albumGroup = &albums_.FindOrAdd(album);
        }
        last.albumArtist = &last.albumGroup->artists.FindOrAdd(artist);
    }
}

void CCatalogGroups::Reserve() {
    for (CArtistGroup* artist : artists_)
        ReserveCounted(*artist);
    ReserveWithArtists(genres_);
    ReserveWithArtists(albums_);
}
