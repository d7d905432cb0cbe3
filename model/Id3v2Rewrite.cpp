#include "model/Id3v2Rewrite.h"

#include "model/GenreTable.h"
#include "model/Id3v2Picture.h"
#include "model/Id3v2Tag.h"
#include "model/Id3v2Text.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace {

constexpr std::size_t kFooterSize = 10;

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

// Whether writing `wanted` changes what the tag shows: blanks stand for no text.
bool Differs(const std::optional<std::string>& now, const std::string& wanted) {
    if (!now || now->empty())
        return !IsBlank(wanted);
    return IsBlank(wanted) || !CUtf8::SameShown(*now, wanted);
}

void PutBigEndian(std::string& out, std::size_t value, std::size_t bytes) {
    for (std::size_t i = bytes; i-- > 0;)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

void PutSyncsafe(std::uint8_t* out, std::size_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (7 * (3 - i)) & 0x7F);
}

} // namespace

// "ID3", the version, revision 0, no flags, and a size of 0.
std::vector<std::uint8_t> CId3v2Rewrite::EmptyTag(int version) {
    std::vector<std::uint8_t> tag(CId3v2Tag::kHeaderSize, 0);
    tag[0] = 'I';
    tag[1] = 'D';
    tag[2] = '3';
    tag[3] = static_cast<std::uint8_t>(version);
    return tag;
}

CId3v2Rewrite::CId3v2Rewrite(std::span<const std::uint8_t> tag, const CId3v2Layout& layout)
    : tag_(tag), layout_(layout) {
    for (std::size_t i = 0; i < layout.Frames().size(); ++i)
        pieces_.push_back({i, {}});
}

std::string_view CId3v2Rewrite::FrameId(const SPiece& piece) const {
    if (piece.frame != kNew)
        return layout_.Frames()[piece.frame].id;
    return std::string_view(piece.bytes).substr(0, layout_.Version() == 2 ? 3 : 4);
}

std::string CId3v2Rewrite::Frame(std::string_view id, const std::string& body) const {
    std::string frame(id);
    const int version = layout_.Version();
    if (version == 2) {
        PutBigEndian(frame, body.size(), 3);
    } else if (version == 3) {
        PutBigEndian(frame, body.size(), 4);
        frame.append(2, '\0');
    } else {
        std::uint8_t size[4];
        PutSyncsafe(size, body.size());
        frame.append(reinterpret_cast<const char*>(size), 4);
        frame.append(2, '\0');
    }
    return frame + body;
}

std::string CId3v2Rewrite::TextFrame(std::string_view id, std::string_view text) const {
    std::string body(1, '\0');
    body[0] = static_cast<char>(CId3v2Text::Encode(text, layout_.Version() == 4, body));
    return Frame(id, body);
}

// The frames of `ids` give way to `frame` (none when it is empty) at the first one's place, or
// where a new frame goes.
void CId3v2Rewrite::Replace(std::span<const std::string_view> ids, const std::string& frame) {
    std::vector<SPiece> pieces;
    bool placed = false;
    for (SPiece& piece : pieces_) {
        if (std::find(ids.begin(), ids.end(), FrameId(piece)) == ids.end()) {
            pieces.push_back(std::move(piece));
            continue;
        }
        if (!placed && !frame.empty())
            pieces.push_back({kNew, frame});
        placed = true;
    }
    pieces_ = std::move(pieces);
    if (!placed && !frame.empty())
        pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(NewPlace()), {kNew, frame});
}

// A frame the tag did not have goes before the first picture: a reader that passes over a
// picture unread still finds it, as this program's does.
std::size_t CId3v2Rewrite::NewPlace() const {
    const std::string_view picture = layout_.Version() == 2 ? "PIC" : "APIC";
    const auto at = std::find_if(pieces_.begin(), pieces_.end(),
                                 [&](const SPiece& piece) { return FrameId(piece) == picture; });
    return static_cast<std::size_t>(at - pieces_.begin());
}

// encoding | language (3) | description | text. The comment is what the frames without a
// description say, in whatever language; a described one is a program's own data and stays.
// They all give way to one frame, in the first one's place and language, or in English.
void CId3v2Rewrite::ReplaceComment(std::string_view text) {
    const std::string_view id = layout_.Version() == 2 ? "COM" : "COMM";
    std::optional<std::string> language;
    std::vector<std::uint8_t> restored;
    const auto undescribed = [&](const SPiece& piece) {
        if (piece.frame == kNew || FrameId(piece) != id)
            return false;
        const auto& where = layout_.Frames()[piece.frame];
        const auto data = CId3v2Layout::FrameData(tag_.subspan(where.offset, where.size),
                                                  layout_.Version(), restored);
        if (!data || data->size() < 4 || !CId3v2Text::IsKnownEncoding((*data)[0]))
            return false;
        const auto rest = data->subspan(4);
        const std::size_t description = CId3v2Text::TerminatedLength((*data)[0], rest);
        if (!CId3v2Text::Decode((*data)[0], rest.first(description)).empty())
            return false;
        if (!language)
            language.emplace(reinterpret_cast<const char*>(data->data() + 1), 3);
        return true;
    };
    std::vector<SPiece> pieces;
    std::optional<std::size_t> first;
    for (SPiece& piece : pieces_) {
        if (!undescribed(piece))
            pieces.push_back(std::move(piece));
        else if (!first)
            first = pieces.size();
    }
    pieces_ = std::move(pieces);
    if (IsBlank(text))
        return;
    std::string encoded;
    const std::uint8_t encoding = CId3v2Text::Encode(text, layout_.Version() == 4, encoded);
    std::string body(1, static_cast<char>(encoding));
    body += language.value_or("eng");
    if (encoding == CId3v2Text::kUtf16)
        body += "\xFF\xFE";
    body += CId3v2Text::Terminator(encoding);
    SPiece frame{kNew, Frame(id, body + encoded)};
    pieces_.insert(pieces_.begin() + static_cast<std::ptrdiff_t>(first.value_or(NewPlace())),
                   std::move(frame));
}

// The cover's frames give way to one front cover frame of `image` at the first one's place, or
// after the last frame; an empty image removes them. False when there is nothing to remove.
bool CId3v2Rewrite::ReplaceCover(std::span<const std::uint8_t> image) {
    const std::vector<std::size_t> covers = CId3v2Picture::Covers(tag_, layout_);
    if (image.empty() && covers.empty())
        return false;
    const std::string frame = image.empty()
                                  ? std::string()
                                  : Frame(CId3v2Picture::FrameId(layout_.Version()),
                                          CId3v2Picture::Format(image, layout_.Version()));
    std::vector<SPiece> pieces;
    bool placed = false;
    for (SPiece& piece : pieces_) {
        if (piece.frame == kNew ||
            std::find(covers.begin(), covers.end(), piece.frame) == covers.end()) {
            pieces.push_back(std::move(piece));
            continue;
        }
        if (!placed && !frame.empty())
            pieces.push_back({kNew, frame});
        placed = true;
    }
    if (!placed && !frame.empty())
        pieces.push_back({kNew, frame});
    pieces_ = std::move(pieces);
    return true;
}

// The "/total" that follows the number in a kept frame ("7/12"), so that a new number keeps the
// count it was given with; empty when the frame gives none.
std::string CId3v2Rewrite::Total(std::string_view id) const {
    std::vector<std::uint8_t> restored;
    for (const SPiece& piece : pieces_) {
        if (piece.frame == kNew || FrameId(piece) != id)
            continue;
        const auto& where = layout_.Frames()[piece.frame];
        const auto data = CId3v2Layout::FrameData(tag_.subspan(where.offset, where.size),
                                                  layout_.Version(), restored);
        if (!data || data->empty() || !CId3v2Text::IsKnownEncoding((*data)[0]))
            return {};
        const std::string text = CId3v2Text::Decode((*data)[0], data->subspan(1));
        const auto slash = text.find('/');
        if (slash == std::string::npos || slash + 1 == text.size())
            return {};
        const std::string_view total = std::string_view(text).substr(slash);
        const bool digits = std::all_of(total.begin() + 1, total.end(),
                                        [](char c) { return c >= '0' && c <= '9'; });
        return digits ? std::string(total) : std::string();
    }
    return {};
}

// A number of 0 takes the frame away; another keeps the old frame's total.
bool CId3v2Rewrite::ReplaceNumber(std::optional<std::uint16_t> wanted, std::uint16_t now,
                                  std::string_view id) {
    if (!wanted || *wanted == now)
        return false;
    const std::array<std::string_view, 1> ids{id};
    Replace(ids, *wanted == 0 ? std::string() : TextFrame(id, std::to_string(*wanted) + Total(id)));
    return true;
}

bool CId3v2Rewrite::Apply(const STagEdit& edit) {
    CId3v2Tag shown;
    shown.Parse(tag_);
    const bool v2 = layout_.Version() == 2;
    bool changed = ApplyTexts(edit, shown);
    changed = ReplaceNumber(edit.track, shown.track, v2 ? "TRK" : "TRCK") || changed;
    changed = ReplaceNumber(edit.disc, shown.disc, v2 ? "TPA" : "TPOS") || changed;
    if (edit.comment && Differs(shown.comment, *edit.comment)) {
        ReplaceComment(*edit.comment);
        changed = true;
    }
    if (edit.genre && (shown.genreName || shown.genre != *edit.genre)) {
        const std::array<std::string_view, 1> genre{v2 ? "TCO" : "TCON"};
        const bool named = *edit.genre < kGenreNone;
        Replace(genre, named ? TextFrame(genre[0], genreNames[*edit.genre]) : std::string());
        changed = true;
    }
    if (edit.cover)
        changed = ReplaceCover(*edit.cover) || changed;
    return changed;
}

// The plain text fields: title, artist, album, year and album artist.
bool CId3v2Rewrite::ApplyTexts(const STagEdit& edit, const CId3v2Tag& shown) {
    const int version = layout_.Version();
    const bool v2 = version == 2;
    bool changed = false;
    const auto text = [&](const std::optional<std::string>& wanted,
                          const std::optional<std::string>& now,
                          std::span<const std::string_view> ids, std::string_view id) {
        if (!wanted || !Differs(now, *wanted))
            return;
        Replace(ids, IsBlank(*wanted) ? std::string() : TextFrame(id, *wanted));
        changed = true;
    };
    const std::array<std::string_view, 1> title{v2 ? "TT2" : "TIT2"};
    const std::array<std::string_view, 1> artist{v2 ? "TP1" : "TPE1"};
    const std::array<std::string_view, 1> album{v2 ? "TAL" : "TALB"};
    const std::array<std::string_view, 2> year{v2 ? "TYE" : "TYER", v2 ? "TYE" : "TDRC"};
    const std::array<std::string_view, 1> albumArtist{v2 ? "TP2" : "TPE2"};
    text(edit.title, shown.title, title, title[0]);
    text(edit.artist, shown.artist, artist, artist[0]);
    text(edit.album, shown.album, album, album[0]);
    text(edit.year, shown.year, year, version == 4 ? "TDRC" : year[0]);
    text(edit.albumArtist, shown.albumArtist, albumArtist, albumArtist[0]);
    return changed;
}

std::size_t CId3v2Rewrite::MinimalSize() const {
    std::size_t size = layout_.FramesStart() + (layout_.HasFooter() ? kFooterSize : 0);
    for (const SPiece& piece : pieces_)
        size += piece.frame == kNew ? piece.bytes.size() : layout_.Frames()[piece.frame].size;
    return size;
}

std::vector<std::uint8_t> CId3v2Rewrite::Render(std::size_t size) const {
    const std::size_t minimal = MinimalSize();
    if (layout_.HasFooter())
        size = minimal;
    std::vector<std::uint8_t> out(tag_.begin(),
                                  tag_.begin() + static_cast<long>(layout_.FramesStart()));
    out.reserve(size);
    for (const SPiece& piece : pieces_) {
        if (piece.frame == kNew) {
            out.insert(out.end(), piece.bytes.begin(), piece.bytes.end());
        } else {
            const auto& frame = layout_.Frames()[piece.frame];
            const auto bytes = tag_.subspan(frame.offset, frame.size);
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
    }
    const std::size_t footer = layout_.HasFooter() ? kFooterSize : 0;
    out.resize(size - footer, 0);
    PutSyncsafe(out.data() + 6, size - footer - CId3v2Tag::kHeaderSize);
    if (const std::size_t field = layout_.PaddingSizeField(); field != 0) {
        const std::size_t padding = size - minimal;
        for (std::size_t i = 0; i < 4; ++i)
            out[field + i] = static_cast<std::uint8_t>(padding >> (8 * (3 - i)) & 0xFF);
    }
    if (footer != 0) {
        // "3DI", then the header's version, flags and size.
        std::array<std::uint8_t, kFooterSize> copy{'3', 'D', 'I'};
        std::copy(out.begin() + 3, out.begin() + 10, copy.begin() + 3);
        out.insert(out.end(), copy.begin(), copy.end());
    }
    return out;
}
