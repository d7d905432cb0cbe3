#include "model/Id3v1Tag.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

struct SField {
    std::size_t offset;
    std::size_t width;
};

constexpr SField kTitle{3, 30};
constexpr SField kArtist{33, 30};
constexpr SField kAlbum{63, 30};
constexpr SField kYear{93, 4};
constexpr SField kComment{97, 30};
constexpr std::size_t kGenreOffset = 127;
constexpr std::size_t kTrackMarkOffset = 125;
constexpr std::size_t kTrackOffset = 126;

// White space that ends a field: blank, tab, line feed, vertical tab, form feed, return.
constexpr std::array<bool, 256> kBlank = [] {
    std::array<bool, 256> table{};
    for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'})
        table[c] = true;
    return table;
}();

// A field ends at its first NUL (so the ID3v1.1 track number after a NUL in the comment is not
// text) and loses its trailing white space; leading white space is part of the text.
std::string_view ReadField(const CId3v1Tag::Block& block, SField field) {
    const auto* begin = block.data() + field.offset;
    const void* nul = std::memchr(begin, 0, field.width);
    const auto* end = nul != nullptr ? static_cast<const std::uint8_t*>(nul) : begin + field.width;
    // Most taggers pad with blanks: eight of them are passed over at once.
    constexpr std::uint64_t kEightBlanks = 0x2020202020202020;
    for (std::uint64_t tail = 0; end - begin >= 8; end -= 8) {
        std::memcpy(&tail, end - 8, 8);
        if (tail != kEightBlanks)
            break;
    }
    while (end != begin && kBlank[end[-1]])
        --end;
    return {reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin)};
}

// Written left-aligned and padded with blanks; a longer text keeps only what fits.
void WriteField(CId3v1Tag::Block& block, SField field, std::string_view text) {
    auto* out = block.data() + field.offset;
    const std::size_t n = std::min(text.size(), field.width);
    std::memcpy(out, text.data(), n);
    std::memset(out + n, ' ', field.width - n);
}

} // namespace

bool CId3v1Tag::HasMarker(const Block& block) {
    return block[0] == 'T' && block[1] == 'A' && block[2] == 'G';
}

std::optional<CId3v1Tag::SView> CId3v1Tag::View(const Block& block) {
    if (!HasMarker(block))
        return std::nullopt;
    const std::uint8_t track = block[kTrackMarkOffset] == 0 ? block[kTrackOffset] : 0;
    return SView{ReadField(block, kTitle),
                 ReadField(block, kArtist),
                 ReadField(block, kAlbum),
                 ReadField(block, kYear),
                 ReadField(block, kComment),
                 block[kGenreOffset],
                 track};
}

bool CId3v1Tag::Parse(const Block& block) {
    const auto view = View(block);
    if (!view)
        return false;
    title = view->title;
    artist = view->artist;
    album = view->album;
    year = view->year;
    comment = view->comment;
    genre = view->genre;
    track = view->track;
    return true;
}

CId3v1Tag::Block CId3v1Tag::Format() const {
    Block block{};
    block[0] = 'T';
    block[1] = 'A';
    block[2] = 'G';
    WriteField(block, kTitle, title);
    WriteField(block, kArtist, artist);
    WriteField(block, kAlbum, album);
    WriteField(block, kYear, year);
    if (track == 0) {
        WriteField(block, kComment, comment);
    } else {
        WriteField(block, {kComment.offset, kComment.width - 2}, comment);
        block[kTrackMarkOffset] = 0;
        block[kTrackOffset] = track;
    }
    block[kGenreOffset] = genre;
    return block;
}
