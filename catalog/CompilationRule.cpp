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

void CCompilationRule::Start(const TrackArray& tracks, bool byFolder) {
    Clear();
    tracks_ = &tracks;
    byFolder_ = byFolder;
    index_.assign(16, {});
}

void CCompilationRule::Clear() {
    tracks_ = nullptr;
    revised_ = false;
    various_ = false;
    current_ = kNone;
    next_ = kNone;
    albums_ = {};
    index_ = {};
}

// Tracks come folder by folder: a track of the same folder text and album bytes as the first of
// the current album is of that album, found without a lookup.
std::uint32_t CCompilationRule::Run(std::uint32_t place, bool count) {
    const TrackArray& tracks = *tracks_;
    const auto sameAsFirst = [&](std::uint32_t at) {
        const CMp3File& first = *tracks[albums_[current_].first];
        return tracks[at]->Directory().data() == first.Directory().data() &&
               tracks[at]->Album() == first.Album();
    };
    bool earlier = true; // whether the album had tracks before this run
    if (current_ == kNone || !sameAsFirst(place)) {
        const std::size_t before = albums_.size();
        current_ = FindAlbum(place);
        earlier = current_ < before;
    }
    const auto size = static_cast<std::uint32_t>(tracks.size());
    std::uint32_t end = place + 1;
    while (end < size && sameAsFirst(end))
        ++end;
    if (end < size)
        Prefetch(end);
    SAlbum& album = albums_[current_];
    if (count && byFolder_) {
        const bool verdict = album.Compilation();
        for (std::uint32_t at = place; at < end; ++at)
            Count(album, at);
        revised_ = revised_ || (earlier && album.Compilation() != verdict);
    }
    various_ = byFolder_ && album.Compilation();
    return end;
}

std::uint32_t CCompilationRule::FindAlbum(std::uint32_t place) {
    const std::uint32_t hash = place == next_ ? nextHash_ : HashOf(*(*tracks_)[place]);
    std::size_t mask = index_.size() - 1;
    std::size_t slot = hash & mask;
    for (; index_[slot].album != kNone; slot = (slot + 1) & mask)
        if (index_[slot].hash == hash && SameAlbum(albums_[index_[slot].album], place))
            return index_[slot].album;
    const auto added = static_cast<std::uint32_t>(albums_.size());
    albums_.push_back({.first = place, .hash = hash});
    if (albums_.size() * 2 <= index_.size()) {
        index_[slot] = {hash, added};
        return added;
    }
    index_.assign(index_.size() * 2, {});
    mask = index_.size() - 1;
    for (std::uint32_t album = 0; album < albums_.size(); ++album) {
        slot = albums_[album].hash & mask;
        while (index_[slot].album != kNone)
            slot = (slot + 1) & mask;
        index_[slot] = {albums_[album].hash, album};
    }
    return added;
}

// The slot of the next run's album is asked of memory while the tracks of this one are filed,
// which hides most of the wait for it where albums are many.
void CCompilationRule::Prefetch(std::uint32_t place) {
    next_ = place;
    nextHash_ = HashOf(*(*tracks_)[place]);
    __builtin_prefetch(&index_[nextHash_ & (index_.size() - 1)]);
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
