#pragma once

#include <cstddef>
#include <optional>
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

    // Texts compared as they show, character by character: "Bj\xF6rk" (Latin-1) and
    // "Bj\xC3\xB6rk" (UTF-8) are the same name. Texts of one encoding compare by their bytes,
    // which is the order of their characters; only a pair of mixed encodings is decoded.
    static int CompareShown(std::string_view a, std::string_view b);
    static bool SameShown(std::string_view a, std::string_view b);
    // Equal for texts that are SameShown.
    static std::size_t HashShown(std::string_view text);
    // The Latin-1 bytes of a text shown as `bytes`, when every character has one and those
    // bytes show the same text again; nullopt otherwise (a character beyond U+00FF, or Latin-1
    // bytes that would read as UTF-8).
    static std::optional<std::string> Latin1(std::string_view bytes);
    // The longest start of `bytes` of at most `limit` bytes that ends on a character of its
    // display text: a UTF-8 sequence is never cut.
    static std::string_view CutShown(std::string_view bytes, std::size_t limit);
};
