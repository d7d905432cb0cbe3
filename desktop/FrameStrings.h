#pragma once

#include "platform/CommandIds.h"
#include "platform/StringIds.h"

#include <QString>

#include <cstddef>

// The string table's texts as the window shows them.
class CFrameStrings {
public:
    static QString Get(EStringId id);
    // A command's string is "prompt\ntooltip".
    static QString Prompt(ECommandId id);
    static QString Tooltip(ECommandId id);
    // The text with `number`, in digit groups as Number writes it, in place of its "%d".
    static QString Format(EStringId id, long long number);
    static QString FileCount(long long count) { return Format(EStringId::FileCountFormat, count); }
    // A count with the language's digit groups: "1,200" in English, "1 200" in French.
    static QString Number(std::size_t number);
};
