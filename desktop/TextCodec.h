#pragma once

#include <QString>

#include <string>
#include <string_view>

// Tag texts are kept as the bytes found in the file. They show as UTF-8 when they are valid
// UTF-8, else as Latin-1, the character set of ID3v1 (platform/Utf8.h); an edit goes back as
// Latin-1 when that holds it, else as UTF-8.
class CTextCodec {
public:
    static QString ToQString(std::string_view bytes);
    static std::string FromQString(const QString& text);
    // As above, but a text that still reads as `original` gives back `original` itself, so an
    // unchanged field keeps its exact bytes whichever way they were encoded.
    static std::string FromQString(const QString& text, std::string_view original);
};
