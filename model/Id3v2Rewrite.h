#pragma once

#include "model/Id3v2Layout.h"
#include "model/TagEdit.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CId3v2Tag;

// A new ID3v2 tag made from an old one and an edit, in the old tag's version. Every frame the
// edit does not touch keeps its bytes and its place. An edited field's frames give way to one
// new frame where the first of them stood, or before the first picture (else last); a field
// edited to blanks loses its frames, so that the ID3v1 tag's blank field is the one that shows.
// A field whose new text shows as the tag's own is not touched at all.
//   title TIT2 (TT2)  artist TPE1 (TP1)  album TALB (TAL)  genre TCON (TCO), by its name
//   year  2.4 TDRC, 2.3 TYER (either is read as the year), 2.2 TYE
//   comment: the COMM (COM) frames without a description, in any language, as one frame in the
//   first one's language (or "eng"); described comments are left as they are
//   cover: the picture frames of the cover (CId3v2Picture), as one front cover frame
//   album artist TPE2 (TP2)  track TRCK (TRK)  disc TPOS (TPA): a number keeps the old frame's
//   "/total"; 0 takes the frame away
class CId3v2Rewrite {
public:
    // A tag of `version` (2 to 4) with no frame in it, for a file that has none: the rewrite of
    // it is a new tag.
    static std::vector<std::uint8_t> EmptyTag(int version);

    // `tag` holds the whole tag that `layout` took apart.
    CId3v2Rewrite(std::span<const std::uint8_t> tag, const CId3v2Layout& layout);

    // False when the edit changes no frame.
    bool Apply(const STagEdit& edit);
    // Header, extended header and frames.
    std::size_t MinimalSize() const;
    // The new tag in `size` bytes, at least MinimalSize(): zeros pad it, except a tag with a
    // footer, which may have no padding and takes MinimalSize() only.
    std::vector<std::uint8_t> Render(std::size_t size) const;

private:
    // A kept frame of the old tag by its index, or a new frame's bytes.
    struct SPiece {
        std::size_t frame = kNew;
        std::string bytes;
    };
    static constexpr std::size_t kNew = SIZE_MAX;

    void Replace(std::span<const std::string_view> ids, const std::string& frame);
    bool ApplyTexts(const STagEdit& edit, const CId3v2Tag& shown);
    void ReplaceComment(std::string_view text);
    bool ReplaceCover(std::span<const std::uint8_t> image);
    bool ReplaceNumber(std::optional<std::uint16_t> wanted, std::uint16_t now, std::string_view id);
    std::string Total(std::string_view id) const;
    std::size_t NewPlace() const;
    std::string TextFrame(std::string_view id, std::string_view text) const;
    std::string Frame(std::string_view id, const std::string& body) const;
    std::string_view FrameId(const SPiece& piece) const;

    std::span<const std::uint8_t> tag_;
    const CId3v2Layout& layout_;
    std::vector<SPiece> pieces_;
};
