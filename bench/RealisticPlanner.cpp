#include "bench/RealisticPlanner.h"

#include <array>
#include <string_view>

namespace {

// Words of names and titles: plain ASCII, Latin-1 letters, and letters beyond Latin-1 (which an
// ID3v1 tag cannot hold and an ID3v2.3 tag writes in UTF-16).
constexpr std::array<std::string_view, 64> kWords{
    "Love",     "Night",   "River",  "Blue",     "Summer",  "Rain",     "Fire",     "Heart",
    "Dream",    "Road",    "Light",  "Shadow",   "Song",    "Dance",    "Time",     "Home",
    "Stone",    "Wind",    "Gold",   "Silver",   "Morning", "Ocean",    "City",     "Echo",
    "Velvet",   "Thunder", "Paper",  "Glass",    "Winter",  "Garden",   "Mirror",   "Sky",
    "Été",      "Café",    "Mañana", "Señorita", "Crème",   "Déjà",     "Über",     "Straße",
    "Fräulein", "Garçon",  "Noël",   "Où",       "Smörgås", "Ångström", "Øresund",  "Père",
    "Müller",   "Zürich",  "Łódź",   "Žižkov",   "Dvořák",  "Ősz",      "Ελπίδα",   "Любовь",
    "Москва",   "Ночь",    "東京",   "夜明け",   "사랑",    "Kraków",   "İstanbul", "Şarkı"};
constexpr std::size_t kWordCount = kWords.size();

constexpr std::array<std::string_view, 6> kComments{"Remastered 2011", "Live à l'Olympia",
                                                    "Bonus track",     "Ripped from vinyl — side B",
                                                    "Радио версия",    "Demo"};

// MPEG-1 Layer III bitrates a constant-bitrate album is encoded at.
constexpr std::array<int, 6> kKilobits{128, 160, 192, 224, 256, 320};

// A name unique to `index`: its base-64 digits, each taken to a word by a permutation.
std::string UniqueName(int index, int salt) {
    std::string name;
    unsigned rest = static_cast<unsigned>(index);
    do {
        const std::size_t digit =
            (rest % kWordCount * 29 + static_cast<unsigned>(salt)) % kWordCount;
        if (!name.empty())
            name += ' ';
        name += kWords[digit];
        rest /= kWordCount;
    } while (rest != 0);
    return name;
}

} // namespace

// SplitMix64: small, fast and the same everywhere.
std::uint64_t CRealisticPlanner::Random() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
}

std::uint64_t CRealisticPlanner::CreditRandom() {
    std::uint64_t z = (creditState_ += 0x9E3779B97F4A7C15);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
}

int CRealisticPlanner::Between(int low, int high) {
    return low + static_cast<int>(Random() % static_cast<std::uint64_t>(high - low + 1));
}

std::string CRealisticPlanner::Words(std::size_t least, std::size_t most) {
    std::string text;
    while (text.size() < least) {
        const std::string_view word = kWords[Random() % kWordCount];
        if (!text.empty() && text.size() + 1 + word.size() > most)
            break;
        if (!text.empty())
            text += ' ';
        text += word;
    }
    return text;
}

void CRealisticPlanner::NextAlbum() {
    if (albumsLeft_ == 0) {
        ++artistIndex_;
        albumsLeft_ = Between(1, 4);
        albumOfArtist_ = 0;
        artistName_ = UniqueName(artistIndex_, 7);
        if (Random() % 3 == 0)
            artistName_ = "The " + artistName_;
    }
    --albumsLeft_;
    SAlbum& a = album_;
    a.artist = artistName_;
    a.year = std::to_string(Between(1960, 2023));
    // The first word differs for each album of the artist, so its folders never meet.
    a.album =
        std::string(
            kWords[static_cast<std::size_t>(albumOfArtist_ * 13 + artistIndex_) % kWordCount]) +
        ' ' + Words(1, 40);
    ++albumOfArtist_;
    a.folder = a.artist + '/' + a.year + " - " + a.album;
    a.genre = Between(0, 19);
    a.tracks = Between(8, 16);
    a.tagVersion = Random() % 10 < 6 ? 3 : 4;
    a.latin1 = Random() % 2 == 0;
    a.genreByName = Random() % 2 == 0;
    a.picture = Random() % 10 < 4 || pictures_
                    ? static_cast<std::uint32_t>(Between(20, 200)) * 1024 +
                          static_cast<std::uint32_t>(Between(0, 1023))
                    : 0;
    a.pictureFirst = a.picture != 0 && Random() % 4 == 0;
    a.hasId3v1 = Random() % 10 < 3;
    const auto kind = Random() % 4;
    a.audio = kind < 2
                  ? SRealisticTrack::EAudio::Vbr
                  : (kind == 2 ? SRealisticTrack::EAudio::CbrInfo : SRealisticTrack::EAudio::Cbr);
    a.kilobits = kKilobits[Random() % kKilobits.size()];
    trackInAlbum_ = 0;
    if (credits_) {
        a.compilation = CreditRandom() % 100 < 8;
        a.twoDiscs = a.tracks >= 10 && CreditRandom() % 100 < 15;
        a.albumSort = CreditRandom() % 10 == 0 ? a.album + ", sorted" : "";
    }
}

// Times of 2 to 8 minutes. VBR: a frame count and an average of 150 to 260 kbit/s; the first
// frame is a 128 kbit/s frame that holds the "Xing" header. CBR: the bytes of that time, the
// "Info" header counting the frames they hold.
void CRealisticPlanner::Audio(SRealisticTrack& t) {
    const int milliseconds = Between(120000, 480000);
    if (t.audio == SRealisticTrack::EAudio::Vbr) {
        t.frames = static_cast<std::uint32_t>(std::int64_t{milliseconds} * 44100 / 1152 / 1000);
        const int average = Between(150, 260);
        t.audioBytes =
            std::uint64_t{t.frames} * 1152 * static_cast<std::uint64_t>(average) * 1000 / 8 / 44100;
        t.kilobits = 128;
        return;
    }
    t.audioBytes =
        static_cast<std::uint64_t>(milliseconds) * static_cast<std::uint64_t>(t.kilobits) / 8;
    t.frames = static_cast<std::uint32_t>(t.audioBytes * 44100 /
                                          (144000 * static_cast<std::uint64_t>(t.kilobits)));
}

// Album artist and disc on every track; the rest on some.
void CRealisticPlanner::Credits(SRealisticTrack& t) {
    const SAlbum& a = album_;
    t.credits = true;
    t.compilation = a.compilation;
    t.albumArtist = a.compilation ? "Various Artists" : a.artist;
    t.discCount = a.twoDiscs ? 2 : 1;
    t.disc = a.twoDiscs && t.track > a.tracks / 2 ? 2 : 1;
    t.artistSort = a.artist.starts_with("The ") ? a.artist.substr(4) + ", The" : "";
    t.albumSort = a.albumSort;
    t.artists.clear();
    if (CreditRandom() % 10 == 0)
        t.artists = a.artist + '\0' + UniqueName(static_cast<int>(CreditRandom() % 4096), 11);
}

void CRealisticPlanner::Next(SRealisticTrack& t) {
    if (trackInAlbum_ == album_.tracks)
        NextAlbum();
    const SAlbum& a = album_;
    t.track = ++trackInAlbum_;
    t.trackCount = a.tracks;
    t.folder = a.folder;
    t.artist = a.artist;
    t.album = a.album;
    t.year = a.year;
    t.genre = a.genre;
    t.tagVersion = a.tagVersion;
    t.latin1Texts = a.latin1;
    t.genreByName = a.genreByName;
    t.picture = a.picture;
    t.pictureFirst = a.pictureFirst;
    t.hasId3v1 = a.hasId3v1;
    t.audio = a.audio;
    t.kilobits = a.kilobits;
    t.comment = Random() % 4 == 0 ? std::string(kComments[Random() % kComments.size()]) : "";
    if (credits_)
        Credits(t);

    // "07 - Title.mp3" or "Artist - 07 - Title.mp3", 40 to 90 bytes.
    std::string number = std::to_string(t.track);
    if (t.track < 10)
        number.insert(0, 1, '0');
    const std::string prefix = (Random() % 5 < 2 ? a.artist + " - " : "") + number + " - ";
    const std::size_t target = static_cast<std::size_t>(Between(40, 90));
    const std::size_t fixed = prefix.size() + 4;
    t.title = Words(target > fixed + 4 ? target - fixed : 4, 90 - fixed);
    t.fileName = prefix + t.title + ".mp3";

    // Texts and padding of 2 to 40 KB (at least 2 KB beyond the texts), the picture on top.
    t.tagSize = static_cast<std::uint32_t>(Between(2048, 40 * 1024)) +
                (t.picture != 0 ? 10 + t.picture : 0);
    Audio(t);
}
