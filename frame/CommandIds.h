#pragma once

// Command ids of the main window. The string with the same number holds the command's
// status-bar prompt and tooltip; the ids are shared with the menus, the accelerators and the tool
// bar, and are never renumbered.
namespace CommandId {
// Enter pressed in the address box's edit field.
inline constexpr int kAddressOk = 1;

inline constexpr int kPlay = 32771;
inline constexpr int kEnqueue = 32772;
inline constexpr int kProperties = 32773;
inline constexpr int kAddressBar = 32783;
inline constexpr int kTextLabels = 32784;
inline constexpr int kOptions = 32786;
inline constexpr int kModeAlbumArtist = 32787;
inline constexpr int kModeArtist = 32788;
inline constexpr int kModeGenreArtist = 32789;
inline constexpr int kDisplayAll = 32793;
inline constexpr int kRefresh = 32794;

inline constexpr int kNew = 57600;
inline constexpr int kOpen = 57601;
inline constexpr int kSave = 57603;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kSelectAll = 57642;
inline constexpr int kUndo = 57643;
inline constexpr int kAbout = 57664;
inline constexpr int kExit = 57665;
inline constexpr int kNextPane = 57680;
inline constexpr int kPrevPane = 57681;

inline constexpr int kToolBar = 59392;
inline constexpr int kStatusBar = 59393;
inline constexpr int kSmallIcons = 59408;
inline constexpr int kLargeIcons = 59409;
inline constexpr int kList = 59410;
inline constexpr int kDetails = 59411;
} // namespace CommandId
