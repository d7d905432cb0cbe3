#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the properties sheet changes in a track's tags: only the fields given, each with its new
// text as the track keeps it (bytes shown as UTF-8 when valid, else as Latin-1).
struct STagEdit {
    std::optional<std::string> title = std::nullopt;
    std::optional<std::string> artist = std::nullopt;
    std::optional<std::string> album = std::nullopt;
    std::optional<std::string> year = std::nullopt;
    std::optional<std::string> comment = std::nullopt;
    std::optional<std::uint8_t> genre = std::nullopt; // a number of the genre table
    std::optional<std::string> albumArtist = std::nullopt;
    // Numbers: 0 takes the number away.
    std::optional<std::uint16_t> track = std::nullopt;
    std::optional<std::uint16_t> disc = std::nullopt;
    // The image of the front cover, written into the ID3v2 tag whatever the setting, since no
    // other tag holds one; empty removes the cover.
    std::optional<std::vector<std::uint8_t>> cover = std::nullopt;

    bool Empty() const {
        return !title && !artist && !album && !year && !comment && !genre && !albumArtist &&
               !track && !disc && !cover;
    }
};
