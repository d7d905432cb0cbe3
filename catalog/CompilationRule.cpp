#include "catalog/CompilationRule.h"

#include "model/Mp3File.h"
#include "platform/Ascii.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/Utf8.h"

#include <array>

namespace {

std::uint32_t HashOf(const CMp3File& track) {
    const std::uint64_t hash =
        std::hash<std::string_view>{}(track.Directory()) * 31u ^ CUtf8::HashShown(track.Album());
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

bool SameArtist(const CMp3File& a, const CMp3File& b) {
    return a.Artist() == b.Artist() || CUtf8::SameShown(CCompilationRule::MainArtist(a.Artist()),
                                                        CCompilationRule::MainArtist(b.Artist()));
}

} // namespace

// Tracks come folder by folder: a track of the same folder text and album bytes as the one
// before is of the same album, found without a lookup.
void CCompilationRule::Find(const TrackArray& tracks, bool byFolder) {
    Clear();
    tracks_ = &tracks;
    byFolder_ = byFolder;
    const auto count = static_cast<std::uint32_t>(tracks.size());
    albumOf_.resize(count);
    index_.assign(16, kNone);
    std::uint32_t last = kNone;
    for (std::uint32_t place = 0; place < count; ++place) {
        const CMp3File& track = *tracks[place];
        if (last != kNone) {
            const CMp3File& before = *tracks[albums_[last].first];
            if (track.Directory().data() != before.Directory().data() ||
                track.Album() != before.Album())
                last = kNone;
        }
        if (last == kNone)
            last = FindAlbum(place);
        albumOf_[place] = last;
        if (byFolder)
            Count(albums_[last], place);
    }
    index_ = {};
}

void CCompilationRule::Clear() {
    tracks_ = nullptr;
    albumOf_ = {};
    albums_ = {};
    index_ = {};
}

std::uint32_t CCompilationRule::FindAlbum(std::uint32_t place) {
    const std::uint32_t hash = HashOf(*(*tracks_)[place]);
    std::size_t mask = index_.size() - 1;
    std::size_t slot = hash & mask;
    for (; index_[slot] != kNone; slot = (slot + 1) & mask)
        if (albums_[index_[slot]].hash == hash && SameAlbum(albums_[index_[slot]], place))
            return index_[slot];
    const auto added = static_cast<std::uint32_t>(albums_.size());
    albums_.push_back({.first = place, .hash = hash});
    if (albums_.size() * 2 <= index_.size()) {
        index_[slot] = added;
        return added;
    }
    index_.assign(index_.size() * 2, kNone);
    mask = index_.size() - 1;
    for (std::uint32_t album = 0; album < albums_.size(); ++album) {
        slot = albums_[album].hash & mask;
        while (index_[slot] != kNone)
            slot = (slot + 1) & mask;
        index_[slot] = album;
    }
    return added;
}

bool CCompilationRule::SameAlbum(const SAlbum& album, std::uint32_t place) const {
    const CMp3File& a = *(*tracks_)[album.first];
    const CMp3File& b = *(*tracks_)[place];
    return a.Directory() == b.Directory() && CUtf8::SameShown(a.Album(), b.Album());
}

// Only a tagged album counts: the tracks of a folder that name none are no compilation.
void CCompilationRule::Count(SAlbum& album, std::uint32_t place) const {
    const CMp3File& track = *(*tracks_)[place];
    album.albumArtist = album.albumArtist || track.HasAlbumArtist();
    if (album.various || place == album.first || SameArtist(*(*tracks_)[album.first], track))
        return;
    if (album.second == kNone)
        album.second = place;
    else if (!SameArtist(*(*tracks_)[album.second], track))
        album.various = !CUtf8::SameShown(track.Album(), CStringTable::Get(EStringId::Undefined));
}

bool CCompilationRule::Compilation(std::uint32_t place) const {
    const CMp3File& track = *(*tracks_)[place];
    if (track.Compilation() || (track.HasAlbumArtist() && NamesVarious(track.AlbumArtist())))
        return true;
    const SAlbum& album = albums_[albumOf_[place]];
    return byFolder_ && album.various && !album.albumArtist;
}

bool CCompilationRule::NamesVarious(std::string_view albumArtist) {
    return CAscii::EqualNoCase(albumArtist, "Various Artists");
}

std::string_view CCompilationRule::MainArtist(std::string_view artist) {
    static constexpr std::array<std::string_view, 4> kFeaturing = {" feat. ", " feat ", " ft. ",
                                                                   " featuring "};
    for (std::size_t at = artist.find(' '); at != std::string_view::npos;
         at = artist.find(' ', at + 1))
        for (const std::string_view word : kFeaturing)
            if (CAscii::EqualNoCase(artist.substr(at, word.size()), word))
                return artist.substr(0, at);
    return artist;
}
