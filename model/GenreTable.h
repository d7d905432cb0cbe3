#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The ID3v1 genre names by genre number. Entry 148 is the empty text and stands for "no genre":
// the value of an untagged track and the blank first entry of the editor's genre list.
inline constexpr std::size_t kGenreCount = 149;
inline constexpr int kGenreNone = 148;

extern const std::array<std::string_view, kGenreCount> genreNames;
