#pragma once

// Sections and keys of the profile file. Existing profiles hold these names: never rename.
namespace SettingsKey {
inline constexpr char kSectionMp3[] = "MP3";
inline constexpr char kSectionUser[] = "User settings";
inline constexpr char kSectionAdvanced[] = "AdvancedOptions";
// One section per column of the track list, numbered by the column's field id.
inline constexpr char kColumnSectionFormat[] = "Column%d";

// "MP3"
inline constexpr char kFilePath[] = "FilePath";
inline constexpr char kFileExt[] = "FileExt";

// "User settings"
inline constexpr char kShowLabels[] = "ShowLabels";
inline constexpr char kViewType[] = "ViewType";
inline constexpr char kDisplayAll[] = "DisplayAll";
// Address0 to Address4: the first entries of the address bar's list.
inline constexpr char kAddressFormat[] = "Address%d";
inline constexpr int kAddressCount = 5;
inline constexpr char kCx[] = "cx";
inline constexpr char kCy[] = "cy";
inline constexpr char kX[] = "x";
inline constexpr char kY[] = "y";
inline constexpr char kFullRowSelection[] = "FullRowSelection";
inline constexpr char kDoubleClickAction[] = "DoubleClickAction";
inline constexpr char kSortingColumn[] = "SortingColumn";
inline constexpr char kSecondarySortingColumn[] = "SecondarySortingColumn";
inline constexpr char kColumnsSettings[] = "ColumnsSettings";
inline constexpr char kFavoriteAddresses[] = "FavoriteAddresses";

// "AdvancedOptions"
inline constexpr char kCommandPlay[] = "CommandPlay";
inline constexpr char kCommandEnqueue[] = "CommandEnqueue";
inline constexpr char kMaxRow[] = "MaxRow";
inline constexpr char kUseCachedCatalog[] = "UseCachedCatalog";
inline constexpr char kMinimizeToSystray[] = "MinimizeToSystray";
// Beyond the classic options: 0 restores the estimate from the first frame's bitrate, the ID3v1
// texts alone, and tag edits written into the ID3v1 tag alone.
inline constexpr char kExactVbrTime[] = "ExactVbrTime";
inline constexpr char kReadId3v2[] = "ReadId3v2";
inline constexpr char kCheckForChanges[] = "CheckForChanges";
inline constexpr char kWriteId3v2[] = "WriteId3v2";
// Seconds between two looks at the folders of an address on a network share, which no watch
// hears of; 0 never looks.
inline constexpr char kPollSeconds[] = "PollSeconds";
// The tree by album artist, with compilations under one node and names in the order of their
// sort names; 0 groups by the track's artist text alone. DetectCompilations 0 leaves out the
// rule that takes an album of one folder with three artists or more for a compilation.
// IgnoredArticles: the leading words a sort name puts at its end, separated by ";".
inline constexpr char kGroupByAlbumArtist[] = "GroupByAlbumArtist";
inline constexpr char kDetectCompilations[] = "DetectCompilations";
inline constexpr char kIgnoredArticles[] = "IgnoredArticles";
// The cover pane below the tree (View > Cover, kept at shut-down), and the albums' covers as the
// tree's icons; 0 shows neither, as before.
inline constexpr char kCoverPane[] = "CoverPane";
inline constexpr char kTreeCovers[] = "TreeCovers";

// "Column%d"
inline constexpr char kColumnOrder[] = "Order";
inline constexpr char kColumnDisplayed[] = "Displayed";
inline constexpr char kColumnAlignment[] = "Alignment";
inline constexpr char kColumnWidth[] = "Width";
} // namespace SettingsKey
