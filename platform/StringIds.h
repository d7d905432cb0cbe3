#pragma once

// Identifiers of the string table. They are shared with the menus and command table and never
// renumbered. A command's string has the command's own number and holds its status-bar prompt,
// a line break and its tooltip.
namespace StringId {
inline constexpr int kAppTitle = 1;

// Captions.
inline constexpr int kPropertiesCaption = 102;
inline constexpr int kOptionsCaption = 136;
inline constexpr int kAboutCaption = 148;

// Column labels; the labels of Title, Artist, Album and Genre also name tool buttons.
inline constexpr int kLabelFile = 103;
inline constexpr int kLabelLocation = 104;
inline constexpr int kLabelTitle = 105;
inline constexpr int kLabelArtist = 106;
inline constexpr int kLabelAlbum = 107;
inline constexpr int kLabelDate = 108;
inline constexpr int kLabelGenre = 109;
inline constexpr int kLabelComment = 110;
inline constexpr int kLabelSize = 122;
inline constexpr int kLabelTime = 137;
inline constexpr int kLabelBitrate = 138;
inline constexpr int kLabelFrequency = 139;
inline constexpr int kLabelMode = 140;
inline constexpr int kLabelMpegLayer = 141;

// Text of a missing artist, album or genre.
inline constexpr int kUndefined = 111;

// The address band and the labels of the tool buttons.
inline constexpr int kLabelAddress = 112;
inline constexpr int kButtonPlay = 113;
inline constexpr int kButtonEnqueue = 114;
inline constexpr int kButtonProperties = 115;
inline constexpr int kButtonLargeIcons = 116;
inline constexpr int kButtonSmallIcons = 117;
inline constexpr int kButtonList = 118;
inline constexpr int kButtonDetails = 119;
inline constexpr int kButtonCopy = 125;
inline constexpr int kButtonAll = 149;

// Messages shown in message boxes; "%1" stands for a verb or a path.
inline constexpr int kMsgClipboardFailed = 123;
inline constexpr int kTagWriteFailed = 126;
inline constexpr int kMsgEnqueueFailed = 133;
inline constexpr int kMsgPlayManyFailed = 134;
inline constexpr int kMsgPlayOneFailed = 135;
inline constexpr int kMsgFileNotFound = 157;

// Status texts; printf formats.
inline constexpr int kFileCountFormat = 129;
inline constexpr int kSelectedCountFormat = 130;
inline constexpr int kSizeFormat = 131;
inline constexpr int kOneSelectedFile = 132;

// Title of the favourites address, which also stands for it in the address bar.
inline constexpr int kFavorites = 150;

// Window title, no default name, type name, no filter, no extension, type id, type description.
inline constexpr int kDocumentStrings = 128;

// Command prompts ("prompt\ntooltip"), numbered as the commands.
inline constexpr int kCmdPlay = 32771;
inline constexpr int kCmdEnqueue = 32772;
inline constexpr int kCmdProperties = 32773;
inline constexpr int kCmdAddressBar = 32783;
inline constexpr int kCmdTextLabels = 32784;
inline constexpr int kCmdOptions = 32786;
inline constexpr int kCmdModeAlbumArtist = 32787;
inline constexpr int kCmdModeArtist = 32788;
inline constexpr int kCmdModeGenreArtist = 32789;
inline constexpr int kCmdDisplayAll = 32793;
inline constexpr int kCmdRefresh = 32794;
inline constexpr int kCmdCopy = 57634;
inline constexpr int kCmdSelectAll = 57642;
inline constexpr int kCmdAbout = 57664;
inline constexpr int kCmdExit = 57665;
inline constexpr int kCmdStandardButtons = 59392;
inline constexpr int kCmdStatusBar = 59393;
inline constexpr int kCmdSmallIcons = 59408;
inline constexpr int kCmdLargeIcons = 59409;
inline constexpr int kCmdList = 59410;
inline constexpr int kCmdDetails = 59411;

// Texts of the core that have no number of their own in the table of the window.
inline constexpr int kNotAssigned = 900;
inline constexpr int kErrorOpeningFile = 901;
inline constexpr int kInvalidHandle = 902;

// Validation messages of the dialogs. They exist in French only: both languages give the
// French text.
inline constexpr int kMsgEnterInteger = 910;
inline constexpr int kMsgEnterIntegerRange = 911;
inline constexpr int kMsgMaxCharacters = 912;
} // namespace StringId
