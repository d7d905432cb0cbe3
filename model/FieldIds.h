#pragma once

// Field ids of a track: the track list's column ids and, signed, its sort keys. Stored in the
// profile ("Column%d" sections, sort keys), so never renumbered.
namespace FieldId {
inline constexpr int kFile = 1;
inline constexpr int kArtist = 2;
inline constexpr int kTitle = 3;
inline constexpr int kLocation = 4;
inline constexpr int kSize = 5;
inline constexpr int kAlbum = 6;
inline constexpr int kGenre = 7;
inline constexpr int kDate = 8;
inline constexpr int kComment = 9;
inline constexpr int kTime = 10;
inline constexpr int kBitrate = 11;
inline constexpr int kFrequency = 12;
inline constexpr int kMode = 13;
inline constexpr int kMpegLayer = 14;
inline constexpr int kFirst = kFile;
inline constexpr int kLast = kMpegLayer;
inline constexpr int kCount = 14;
} // namespace FieldId
