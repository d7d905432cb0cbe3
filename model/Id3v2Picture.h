#pragma once

#include "model/CoverSource.h"
#include "model/Id3v2Layout.h"
#include "model/PictureNote.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CFile;

// The picture frame of an ID3v2 tag, read and written by the one layout:
//   2.3, 2.4 APIC: encoding | MIME type, Latin-1, NUL-ended | picture type | description | image
//   2.2 PIC:       encoding | image format, 3 Latin-1 letters | picture type | description | image
// The description ends at a NUL of the frame's encoding; the image takes the rest of the frame.
// The cover of a tag is its front cover (picture type 3), or its first picture when no picture
// is a front cover: many taggers write the cover as "other" (0).
class CId3v2Picture {
public:
    using EImage = SCoverSource::EImage;

    static constexpr std::uint8_t kFrontCover = 3;
    // The largest image written: a 2.2 frame's size has three bytes, and a picture larger than
    // this is no cover that any player would show.
    static constexpr std::size_t kMaxImageSize = std::size_t{16} * 1000 * 1000;

    // A picture frame's fields, the image a view of the frame's data.
    struct SView {
        std::uint8_t type = 0;
        std::string format;             // the MIME type, or the 2.2 image format, as written
        EImage image = EImage::Unknown; // as `format` names it
        std::span<const std::uint8_t> bytes;
    };

    static std::string_view FrameId(int version) { return version == 2 ? "PIC" : "APIC"; }
    // The fields of a frame's data; none when the data ends before the image.
    static std::optional<SView> Parse(std::span<const std::uint8_t> data, int version);
    // The data of a front cover frame without a description, for `image`, a picture that
    // Writable() takes.
    static std::string Format(std::span<const std::uint8_t> image, int version);

    // What the image's first bytes say it is: JPEG FF D8 FF, PNG 89 "PNG", WebP "RIFF" size
    // "WEBP".
    static EImage Sniff(std::span<const std::uint8_t> image);
    // Whether `image` can be the cover of a tag of `version`: a JPEG, PNG or WebP image of
    // kMaxImageSize at most; 2.2 names its image formats in three letters, and has none for
    // WebP.
    static bool Writable(std::span<const std::uint8_t> image, int version);

    // The frames of `layout` (indexes) that hold the tag's cover, in order: every front cover,
    // else the first picture.
    static std::vector<std::size_t> Covers(std::span<const std::uint8_t> tag,
                                           const CId3v2Layout& layout);

    // Where a walk finds a picture's image without reading it: from the bytes at hand, which
    // may end within the frame's head.
    enum class EHead {
        Read,   // `head` holds it
        Short,  // the bytes given end within the head
        Broken, // no picture: a bad encoding, a link ("-->"), an empty image
    };
    struct SHead {
        std::size_t imageAt = 0; // from the start of the frame's data
        std::uint8_t type = 0;
        EImage image = EImage::Unknown;
    };
    // Whether a frame id (3 bytes in 2.2, else 4) is a picture's.
    static bool IsPictureId(std::span<const std::uint8_t> id);
    // Where a frame's data begins after the bytes its format flags put before it (2.3: group;
    // 2.4: group, data length). None for a picture that cannot be read in place: compressed,
    // encrypted, or unsynchronised (the frame's flag in 2.4, the tag's in every version).
    static std::optional<std::size_t> DataStart(int version, std::uint8_t formatFlags,
                                                bool tagUnsynchronised);
    // Reads the head from `data`, the start of a frame's data; `whole`: `data` is all of it.
    static EHead ReadHead(std::span<const std::uint8_t> data, int version, bool whole, SHead& head);
    // The image's exact place for a note of the walk: an image note as it is; for a frame
    // note, the frame's head read from `file` (the tag header and the frame's first bytes, and
    // no more). None where the bytes there are not the picture frame noted.
    static CPictureNote Locate(const CFile& file, const CPictureNote& note);
};
