#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The 128-byte ID3 version 1 block at the end of an MP3 file:
//   0 "TAG" | 3 title[30] | 33 artist[30] | 63 album[30] | 93 year[4] | 97 comment[30] | 127 genre
// Texts are bytes, padded with blanks or NULs. ID3v1.1 gives the comment's last two bytes to a
// track number: 125 is 0 and 126 the number. Parse and Format mirror each other.
class CId3v1Tag {
public:
    static constexpr std::size_t kSize = 128;
    // The genre byte of no genre. The genre lists that players use today name the numbers
    // past the first table's last, 148 among them; 255 is none in every one.
    static constexpr std::uint8_t kNoGenre = 255;
    using Block = std::array<std::uint8_t, kSize>;
    // The comment's bytes that leave the last two to a track number.
    static constexpr std::size_t kNumberedComment = 28;

    // The texts where they lie in a block, for a reader that copies them anyway.
    struct SView {
        std::string_view title, artist, album, year, comment;
        std::uint8_t genre = 0;
        std::uint8_t track = 0; // 0: no ID3v1.1 track number
    };

    static bool HasMarker(const Block& block);
    // The fields of a block that begins with the marker; nullopt if not.
    static std::optional<SView> View(const Block& block);
    // Fills the fields from a block that begins with the marker; false (fields untouched) if not.
    bool Parse(const Block& block);
    // With a track number, the comment keeps 28 bytes and the number takes the last two.
    Block Format() const;

    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::uint8_t genre = 0;
    std::uint8_t track = 0;
};
