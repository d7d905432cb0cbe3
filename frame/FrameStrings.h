#pragma once

#include <QString>

// The string table's texts as the window shows them.
class CFrameStrings {
public:
    static QString Get(int id);
    // A command's string is "prompt\ntooltip".
    static QString Prompt(int commandId);
    static QString Tooltip(int commandId);
    // The count format with `count` put in.
    static QString FileCount(long long count);
};
