#pragma once

// Identifiers of the string table. They are shared with the menus and command table and never
// renumbered.
namespace StringId {
inline constexpr int kAppTitle = 1;
inline constexpr int kPropertiesCaption = 102;
inline constexpr int kLabelFile = 103;
inline constexpr int kLabelLocation = 104;
inline constexpr int kLabelTitle = 105;
inline constexpr int kLabelArtist = 106;
inline constexpr int kLabelAlbum = 107;
inline constexpr int kLabelDate = 108;
inline constexpr int kLabelGenre = 109;
inline constexpr int kLabelComment = 110;
inline constexpr int kUndefined = 111;
inline constexpr int kLabelSize = 122;
inline constexpr int kTagWriteFailed = 126;
inline constexpr int kSizeFormat = 131;
inline constexpr int kLabelTime = 137;
inline constexpr int kLabelBitrate = 138;
inline constexpr int kLabelFrequency = 139;
inline constexpr int kLabelMode = 140;
inline constexpr int kLabelMpegLayer = 141;
inline constexpr int kFavorites = 150;
// Texts of the core that have no number of their own in the table of the window.
inline constexpr int kNotAssigned = 900;
inline constexpr int kErrorOpeningFile = 901;
inline constexpr int kInvalidHandle = 902;
} // namespace StringId
