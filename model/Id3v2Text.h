#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The text encodings of ID3v2 frames, by the byte that opens a text frame:
//   0 ISO-8859-1, 1 UTF-16 with a byte-order mark, 2 UTF-16 big-endian, 3 UTF-8.
// Strings end at a NUL of their encoding (one byte, or two at an even offset) or at the end.
class CId3v2Text {
public:
    static constexpr std::uint8_t kLatin1 = 0;
    static constexpr std::uint8_t kUtf8 = 3;

    static constexpr std::uint8_t kUtf16 = 1;

    static bool IsKnownEncoding(std::uint8_t encoding);
    // A text kept as the catalog keeps it (shown as UTF-8 when valid, else as Latin-1) in the
    // encoding a frame gives it: ISO-8859-1 for ASCII and Latin-1 bytes, otherwise UTF-8 where
    // the version has it (2.4), else UTF-16 with a byte-order mark. Returns the encoding byte.
    static std::uint8_t Encode(std::string_view text, bool utf8, std::string& out);
    // The terminator of a string in `encoding`.
    static std::string_view Terminator(std::uint8_t encoding);
    // The length of the first string of `bytes` with its terminator.
    static std::size_t TerminatedLength(std::uint8_t encoding, std::span<const std::uint8_t> bytes);
    // The first string of `bytes`: ISO-8859-1 kept as its bytes, the other encodings as UTF-8.
    static std::string Decode(std::uint8_t encoding, std::span<const std::uint8_t> bytes);
    // Every string of `bytes`, one after the other, as Decode gives each; empty ones are left
    // out. A 2.4 text frame holds several values this way, and so does a user text that lists.
    static std::vector<std::string> DecodeAll(std::uint8_t encoding,
                                              std::span<const std::uint8_t> bytes);
    // At most `count` characters of `text`, counted in UTF-8 unless `latin1`.
    static std::string FirstCharacters(std::string text, std::size_t count, bool latin1);
    // The genre number of a content-type text: "(17)" (a refinement may follow), "17", or a name of
    // the genre table in any case; anything else is no genre.
    static std::uint8_t GenreNumber(std::string_view text);
    // The genre of a content-type text: a table genre as its number (`name` then none), another
    // name as its text ("(RX)" and "(CR)" stand for "Remix" and "Cover"). A number past the
    // table, or no text, leaves both as they were.
    static void ReadGenre(std::string_view text, std::uint8_t& number,
                          std::optional<std::string>& name);
    // The track number of a "TRCK" text, the digits before any "/" ("7/12"); 0 when the text
    // holds no number up to 65535.
    static std::uint16_t TrackNumber(std::string_view text);
};
