#pragma once

#include <cstdint>
#include <string_view>

// The snapshot's string encoding: a length, then that many bytes, no terminator.
//   0..254        one byte
//   255..65533    0xFF, then 16 bits
//   65534 and up  0xFF, 0xFFFF, then 32 bits
// Integers are little-endian.
namespace ArchiveFormat {
inline constexpr std::size_t kShortLengthLimit = 255;
inline constexpr std::size_t kMediumLengthLimit = 65534;
inline constexpr std::uint8_t kEscape = 0xFF;
inline constexpr std::uint16_t kLongMarker = 0xFFFF;
inline constexpr std::string_view kMagic = "QUAVERO SNAPSHOT";
inline constexpr std::string_view kFileName = "mp3cache.qvc";
} // namespace ArchiveFormat
