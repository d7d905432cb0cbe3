#pragma once

#include <QString>

// Texts of the main window by string id. Ids that the string table does not know yet fall back
// to their English text, so the window always has words on it.
namespace FrameString {
inline constexpr int kLabelAddress = 112;
inline constexpr int kButtonPlay = 113;
inline constexpr int kButtonEnqueue = 114;
inline constexpr int kButtonProperties = 115;
inline constexpr int kButtonLargeIcons = 116;
inline constexpr int kButtonSmallIcons = 117;
inline constexpr int kButtonList = 118;
inline constexpr int kButtonDetails = 119;
inline constexpr int kButtonCopy = 125;
inline constexpr int kFileCountFormat = 129; // printf format, one %d
inline constexpr int kAboutCaption = 148;
inline constexpr int kButtonAll = 149;
} // namespace FrameString

class CFrameStrings {
public:
    static QString Get(int id);
    // A command's string is "prompt\ntooltip".
    static QString Prompt(int commandId);
    static QString Tooltip(int commandId);
    // The count format with `count` put in.
    static QString FileCount(long long count);
};
