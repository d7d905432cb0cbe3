#pragma once

#include <QString>

#include <string>
#include <string_view>

// The form in which the filter compares texts: compatibility decomposition and case folding,
// without accents (the combining diacritical marks), so that "bjork", "Björk" and "BJÖRK" all
// read "bjork". Other marks stay: a kana's voicing mark or an Indic vowel sign is no accent.
class CTextFold {
public:
    static QString Fold(const QString& text);
    // Appends, in UTF-8, the folded form of a tag text as the window shows it (UTF-8 when valid,
    // else Latin-1): what Fold gives for its shown text, a character at a time.
    static void AppendFolded(std::string_view bytes, std::string& out);
};
