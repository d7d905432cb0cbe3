#pragma once

#include "model/FieldIds.h"

#include <array>
#include <string>
#include <string_view>

class CMp3File;

// Writes a track as one line of the tool's output: its fields in id order, separated by tabs,
// the album artist and the disc number last (empty when it has none), so that every line has
// one count of columns whatever the track holds.
// A tab, line feed, carriage return or backslash in a field is written as \t, \n, \r or \\;
// tag texts are written in UTF-8 as the window shows them, names and folders keep their bytes.
class CTrackPrinter {
public:
    void AppendLine(std::string& line, const CMp3File& track);
    static void AppendEscaped(std::string& line, std::string_view text);

private:
    // The last text a field showed that the track does not keep itself (a folder, a table's
    // text), and whether it could stand as it is.
    struct SSeen {
        const char* data = nullptr;
        std::size_t size = 0;
        bool plain = false;
    };

    bool IsPlain(EFieldId field, std::string_view text, std::string_view own, bool ownPlain);

    std::array<SSeen, kFieldCount + 1> seen_{};
    std::array<std::string, kFieldCount + 1> scratch_; // a field's text when it is made here
};
