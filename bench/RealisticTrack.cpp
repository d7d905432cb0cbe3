#include "bench/RealisticTrack.h"

#include <array>

namespace {

constexpr int kSamplesPerFrame = 1152; // MPEG-1 Layer III
constexpr int kHertz = 44100;

// The first twenty genres of the ID3v1 list, the ones the collection uses.
constexpr std::array<std::string_view, 20> kGenres{
    "Blues",   "Classic Rock", "Country", "Dance",   "Disco",  "Funk",      "Grunge",
    "Hip-Hop", "Jazz",         "Metal",   "New Age", "Oldies", "Other",     "Pop",
    "R&B",     "Rap",          "Reggae",  "Rock",    "Techno", "Industrial"};

} // namespace

double SRealisticTrack::Seconds() const {
    if (audio == EAudio::Vbr)
        return static_cast<double>(frames) * kSamplesPerFrame / kHertz;
    return static_cast<double>(audioBytes) * 8.0 / (kilobits * 1000.0);
}

// bytes * 8 over the counted time, in kbit/s, rounded half up.
int SRealisticTrack::ShownKilobits() const {
    if (audio != EAudio::Vbr)
        return kilobits;
    const std::uint64_t bits = audioBytes * 8 * kHertz;
    const std::uint64_t perKilobit = std::uint64_t{frames} * kSamplesPerFrame * 1000;
    return static_cast<int>((bits + perKilobit / 2) / perKilobit);
}

std::string_view SRealisticTrack::GenreName() const {
    return kGenres.at(static_cast<std::size_t>(genre));
}

std::size_t SRealisticTrack::OwnTextBytes() const {
    return fileName.size() + title.size() + artist.size() + album.size() + year.size() +
           comment.size();
}
