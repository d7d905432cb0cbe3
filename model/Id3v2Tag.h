#pragma once

#include "model/GenreTable.h"
#include "model/PictureNote.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The texts of an ID3v2 tag (versions 2.2, 2.3, 2.4) at the start of a file:
//   "ID3" | version | revision | flags | size in four 7-bit bytes
// then an extended header (flag 0x40), the frames and padding within that size, and a footer
// (flag 0x10) after it. Frames: id | size | flags (2.3, 2.4) | body; 2.2 has 3-byte ids and
// sizes and no flags. Texts keep their bytes when ISO-8859-1 and become UTF-8 otherwise. A field
// comes from the first frame that holds it.
class CId3v2Tag {
public:
    static constexpr std::size_t kHeaderSize = 10;
    // Copies the tag's bytes from `offset` (0 is the "I" of "ID3") into `out`; returns how many
    // it could.
    using Fetch = std::function<std::size_t(std::size_t offset, std::span<std::uint8_t> out)>;

    // Header and frames, the footer left out; 0 when `bytes` does not begin with a header.
    static std::size_t DeclaredLength(std::span<const std::uint8_t> bytes);
    // Unsynchronisation put a 00 after every FF; taking those out gives the data back.
    static std::vector<std::uint8_t> Resynchronised(std::span<const std::uint8_t> bytes);

    // Reads the fields from the tag whose first bytes are `head`. Frames past it come through
    // `fetch` when they hold a wanted text, so a picture is passed over unread; nothing past the
    // declared size is asked for. A broken frame ends the reading, keeping what was found.
    // False when `head` holds no tag of a known version.
    bool Parse(std::span<const std::uint8_t> head, const Fetch& fetch = {});

    std::optional<std::string> title;
    std::optional<std::string> artist;
    std::optional<std::string> album;
    std::optional<std::string> year;
    // The first comment without a description, in any language. A described comment is a
    // program's own data (a player's loudness numbers, say), never the user's comment.
    std::optional<std::string> comment;
    // A genre of the table by its number, "(17)", or its name in any case; a name the table
    // lacks is kept as it is, in `genreName`.
    std::uint8_t genre = kGenreNone;
    std::optional<std::string> genreName;
    // The number before any "/" of "TRCK" ("7/12"); 0 when there is none.
    std::uint16_t track = 0;

    // What fewer tags hold. These are read only from the bytes a reading of the fields above
    // fetches anyway: a frame of them past a picture that stands after those fields is not
    // looked for, so that a walk reads no more of a file than it did without them.
    std::optional<std::string> albumArtist; // "TPE2"
    // The number before any "/" of "TPOS" ("2/2"); 0 when there is none.
    std::uint16_t disc = 0;
    // "TCMP" (a writers' frame that no version defines) holding "1".
    bool compilation = false;
    std::optional<std::string> artistSort;      // "TSOP"
    std::optional<std::string> albumArtistSort; // "TSO2"
    std::optional<std::string> albumSort;       // "TSOA"
    // Every value of the artist frame, when a 2.4 tag gives several (separated by NULs); 2.2
    // and 2.3 have one artist a frame, so "AC/DC" stays one name.
    std::vector<std::string> artistValues;
    // The values of the user text described "ARTISTS", one per string: the artists of the
    // track by name, where the artist text is a credit ("A feat. B").
    std::vector<std::string> artists;

    // Where the front cover lies: the first picture of type 3, else the first picture, noted
    // from the bytes a reading of the fields fetches anyway (a picture past them, after those
    // fields are found, is not looked for). A picture whose frame lies there but whose head
    // does not is noted by its frame (CPictureNote::EKind::Frame); one that cannot be read in
    // place (unsynchronised, compressed, encrypted) is none.
    CPictureNote picture;
};
