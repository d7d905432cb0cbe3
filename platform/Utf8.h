#pragma once

#include <string>
#include <string_view>

// Texts are kept as the bytes found (tags, file names). They show as UTF-8 when they are valid
// UTF-8, else as Latin-1, the character set of ID3v1. The window and the command-line tool
// follow this one rule.
class CUtf8 {
public:
    // Well-formed UTF-8: no broken or cut sequence, no overlong form, no encoded surrogate and
    // nothing above U+10FFFF.
    static bool IsValid(std::string_view bytes);
    // The text as it shows, in UTF-8: the bytes themselves when valid, else each byte read as
    // a Latin-1 character.
    static std::string DisplayText(std::string_view bytes);
};
