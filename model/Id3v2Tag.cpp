#include "model/Id3v2Tag.h"

#include "model/Id3v2Picture.h"
#include "model/Id3v2Text.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint8_t kTagUnsynchronised = 0x80;
// 2.3 and 2.4: an extended header follows the header. 2.2: the tag is compressed.
constexpr std::uint8_t kTagExtended = 0x40;
// A run of the tag fetched past the head: a page, as the system keeps it. Longer runs copy
// bytes that are mostly passed over (a picture, the padding): a quarter more bytes read, in as
// many reads, on a collection of today's tags.
constexpr std::size_t kRun = 4096;
// A wanted frame longer than this is passed over; no text of a track is that long.
constexpr std::size_t kMaxFrame = std::size_t{1} << 20;
// A tag unsynchronised as a whole must be read whole to find its frames; this much of it.
constexpr std::size_t kMaxWhole = std::size_t{4} << 20;

enum class EField {
    None,
    Title,
    Artist,
    Album,
    Year,
    Comment,
    Genre,
    Track,
    // Read from the bytes at hand only (see CId3v2Tag::albumArtist).
    AlbumArtist,
    Disc,
    Compilation,
    ArtistSort,
    AlbumArtistSort,
    AlbumSort,
    UserText, // settled by the one described "ARTISTS"
    Picture,  // noted apart (CId3v2Tag::picture), never stored as a text
};
constexpr std::uint32_t kAllFields = 0xFE;
constexpr std::uint32_t kRareFields = 0x7F00;

// An id as one number, its first character highest; a 3-character id of 2.2 ends in a zero
// byte, which no 4-character id holds.
constexpr std::uint32_t IdKey(std::string_view id) {
    std::uint32_t key = 0;
    for (std::size_t i = 0; i < 4; ++i)
        key = key << 8 | (i < id.size() ? static_cast<std::uint8_t>(id[i]) : 0U);
    return key;
}

// 2.2 ids have three characters, 2.3 and 2.4 ids four; "TDRC" is the 2.4 recording time. The
// compilation flag and the sort names have no 2.2 or 2.3 frame of the standard: the ids are
// those the writers agreed on ("TCMP", "TSO2"; "TCP", "TS2", "TSA", "TSP" in 2.2). Every
// frame's id is looked up: the compiler makes the cases a few compares of numbers.
EField FieldOf(std::span<const std::uint8_t> id) {
    const std::uint32_t key = std::uint32_t{id[0]} << 24 | std::uint32_t{id[1]} << 16 |
                              std::uint32_t{id[2]} << 8 | (id.size() == 4 ? id[3] : 0U);
    switch (key) {
    case IdKey("TT2"):
    case IdKey("TIT2"):
        return EField::Title;
    case IdKey("TP1"):
    case IdKey("TPE1"):
        return EField::Artist;
    case IdKey("TAL"):
    case IdKey("TALB"):
        return EField::Album;
    case IdKey("TYE"):
    case IdKey("TYER"):
    case IdKey("TDRC"):
        return EField::Year;
    case IdKey("COM"):
    case IdKey("COMM"):
        return EField::Comment;
    case IdKey("TCO"):
    case IdKey("TCON"):
        return EField::Genre;
    case IdKey("TRK"):
    case IdKey("TRCK"):
        return EField::Track;
    case IdKey("TP2"):
    case IdKey("TPE2"):
        return EField::AlbumArtist;
    case IdKey("TPA"):
    case IdKey("TPOS"):
        return EField::Disc;
    case IdKey("TCP"):
    case IdKey("TCMP"):
        return EField::Compilation;
    case IdKey("TSP"):
    case IdKey("TSOP"):
        return EField::ArtistSort;
    case IdKey("TS2"):
    case IdKey("TSO2"):
        return EField::AlbumArtistSort;
    case IdKey("TSA"):
    case IdKey("TSOA"):
        return EField::AlbumSort;
    case IdKey("TXX"):
    case IdKey("TXXX"):
        return EField::UserText;
    case IdKey("PIC"):
    case IdKey("APIC"):
        return EField::Picture;
    default:
        return EField::None;
    }
}

std::uint32_t Bit(EField field) {
    return std::uint32_t{1} << static_cast<unsigned>(field);
}

// Four bytes of 7 bits each, most significant first; -1 when a high bit is set.
std::int64_t Syncsafe(std::span<const std::uint8_t> b) {
    if (((b[0] | b[1] | b[2] | b[3]) & 0x80) != 0)
        return -1;
    return (std::int64_t{b[0]} << 21) | (b[1] << 14) | (b[2] << 7) | b[3];
}

std::int64_t BigEndian(std::span<const std::uint8_t> b) {
    std::int64_t value = 0;
    for (const std::uint8_t byte : b)
        value = value << 8 | byte;
    return value;
}

// The tag's bytes as far as they are wanted: the head at hand, then runs fetched past it.
class CTagBytes {
public:
    CTagBytes(std::span<const std::uint8_t> head, const CId3v2Tag::Fetch& fetch, std::size_t end)
        : head_(head.first(std::min(head.size(), end))), fetch_(fetch), end_(end) {}

    std::size_t End() const { return end_; }
    // The bytes at hand from `offset`, up to `length` of them; none fetched.
    std::span<const std::uint8_t> HeldFrom(std::size_t offset, std::size_t length) const {
        length = offset < end_ ? std::min(length, end_ - offset) : 0;
        std::span<const std::uint8_t> held;
        if (offset < head_.size())
            held = head_.subspan(offset, std::min(length, head_.size() - offset));
        if (offset >= runStart_ && offset < runStart_ + runLength_ &&
            runStart_ + runLength_ - offset > held.size())
            held = {run_ + (offset - runStart_), std::min(length, runStart_ + runLength_ - offset)};
        return held;
    }
    // Whether Get would give these bytes without fetching any.
    bool Held(std::size_t offset, std::size_t length) const {
        length = offset < end_ ? std::min(length, end_ - offset) : 0;
        return offset + length <= head_.size() ||
               (offset >= runStart_ && offset + length <= runStart_ + runLength_);
    }

    // Up to `length` bytes from `offset`; fewer where the tag or the file ends first.
    std::span<const std::uint8_t> Get(std::size_t offset, std::size_t length) {
        if (offset >= end_ || length == 0)
            return {};
        length = std::min(length, end_ - offset);
        if (offset + length <= head_.size())
            return head_.subspan(offset, length);
        if (offset >= runStart_ && offset + length <= runStart_ + runLength_)
            return {run_ + (offset - runStart_), length};
        if (!fetch_)
            return offset < head_.size() ? head_.subspan(offset) : std::span<const std::uint8_t>{};
        const std::size_t want = std::max(length, std::min(kRun, end_ - offset));
        if (want > kRun && want > longCapacity_) { // a long frame: most runs fit the page
            long_ = std::make_unique_for_overwrite<std::uint8_t[]>(want);
            longCapacity_ = want;
        }
        std::uint8_t* run = want > kRun ? long_.get() : page_.data();
        runStart_ = offset;
        runLength_ = std::min(fetch_(offset, {run, want}), want);
        run_ = run;
        return {run, std::min(length, runLength_)};
    }

private:
    std::span<const std::uint8_t> head_;
    const CId3v2Tag::Fetch& fetch_;
    std::size_t end_;
    std::array<std::uint8_t, kRun> page_;
    std::unique_ptr<std::uint8_t[]> long_;
    std::size_t longCapacity_ = 0;
    const std::uint8_t* run_ = nullptr;
    std::size_t runStart_ = 0;
    std::size_t runLength_ = 0;
};

// A tag unsynchronised as a whole (2.2, 2.3): its header, then everything after it restored.
std::vector<std::uint8_t> ReadWhole(CTagBytes& bytes) {
    std::vector<std::uint8_t> raw;
    const std::size_t limit = std::min(bytes.End(), kMaxWhole);
    while (raw.size() < limit) {
        const auto run = bytes.Get(raw.size(), std::min(kRun, limit - raw.size()));
        if (run.empty())
            break;
        raw.insert(raw.end(), run.begin(), run.end());
    }
    if (raw.size() < CId3v2Tag::kHeaderSize)
        return raw;
    std::vector<std::uint8_t> whole(raw.begin(), raw.begin() + CId3v2Tag::kHeaderSize);
    const auto body = CId3v2Tag::Resynchronised(std::span(raw).subspan(CId3v2Tag::kHeaderSize));
    whole.insert(whole.end(), body.begin(), body.end());
    return whole;
}

// Frame ids are capital letters and digits: anything else is padding or a broken frame.
bool IsFrameId(std::span<const std::uint8_t> id) {
    for (const std::uint8_t c : id) {
        if ((c < 'A' || c > 'Z') && (c < '0' || c > '9'))
            return false;
    }
    return true;
}

// The extended header's size counts itself in 2.4 (7-bit bytes), not in 2.3. Some writers set
// the flag without writing the header: a frame id stands there instead. Returns where the
// frames begin, 0 when the size is broken.
std::size_t FramesStart(CTagBytes& bytes, int version) {
    constexpr auto kStart = static_cast<std::int64_t>(CId3v2Tag::kHeaderSize);
    const auto size = bytes.Get(CId3v2Tag::kHeaderSize, 4);
    if (size.size() < 4)
        return 0;
    if (IsFrameId(size))
        return CId3v2Tag::kHeaderSize;
    const std::int64_t length = version == 4 ? Syncsafe(size) : 4 + BigEndian(size);
    if (length < 6 || kStart + length > static_cast<std::int64_t>(bytes.End()))
        return 0;
    return static_cast<std::size_t>(kStart + length);
}

struct SFrame {
    EField field = EField::None;
    std::size_t size = 0;
    std::uint8_t format = 0;
};

// id (3 bytes in 2.2, else 4) | size (3 bytes; 4; 4 of 7 bits in 2.4) | status, format (not 2.2).
bool ReadFrameHeader(std::span<const std::uint8_t> h, int version, SFrame& frame) {
    const std::size_t idLength = version == 2 ? 3 : 4;
    if (!IsFrameId(h.first(idLength)))
        return false;
    frame.field = FieldOf(h.first(idLength));
    const std::int64_t size = version == 2   ? BigEndian(h.subspan(3, 3))
                              : version == 3 ? BigEndian(h.subspan(4, 4))
                                             : Syncsafe(h.subspan(4, 4));
    frame.size = static_cast<std::size_t>(size);
    frame.format = version == 2 ? 0 : h[9];
    return size >= 0;
}

// The frame's data without the bytes its format flags put before it. 2.3: compressed 0x80,
// encrypted 0x40, group 0x20 (+1). 2.4: group 0x40 (+1), compressed 0x08, encrypted 0x04,
// unsynchronised 0x02, data length 0x01 (+4). Compressed and encrypted frames give nothing.
// The data is `body` itself unless it must be restored, into `restored`.
std::optional<std::span<const std::uint8_t>> FrameData(std::span<const std::uint8_t> body,
                                                       const SFrame& frame, int version,
                                                       bool tagUnsynchronised,
                                                       std::vector<std::uint8_t>& restored) {
    const std::uint8_t f = frame.format;
    std::size_t skip = 0;
    if (version == 3) {
        if ((f & 0xC0) != 0)
            return std::nullopt;
        skip = (f & 0x20) != 0 ? 1 : 0;
    } else if (version == 4) {
        if ((f & 0x0C) != 0)
            return std::nullopt;
        skip = ((f & 0x40) != 0 ? 1 : 0) + ((f & 0x01) != 0 ? 4 : 0);
    }
    if (skip > body.size())
        return std::nullopt;
    body = body.subspan(skip);
    if (version != 4 || (!tagUnsynchronised && (f & 0x02) == 0))
        return body;
    restored = CId3v2Tag::Resynchronised(body);
    return restored;
}

// The description of the user text that lists a track's artists, as taggers write it.
bool IsArtistsDescription(std::string_view description) {
    constexpr std::string_view kArtists = "ARTISTS";
    return std::equal(
        description.begin(), description.end(), kArtists.begin(), kArtists.end(),
        [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) == b; });
}

// Text frames: encoding | text. Comments: encoding | language[3] | description | text. Returns
// whether the field is settled: a comment with a description is passed over.
bool Store(CId3v2Tag& tag, EField field, std::span<const std::uint8_t> data, int version) {
    if (data.empty() || !CId3v2Text::IsKnownEncoding(data[0]))
        return false;
    const std::uint8_t encoding = data[0];
    auto text = data.subspan(1);
    switch (field) {
    case EField::Title:
        tag.title = CId3v2Text::Decode(encoding, text);
        break;
    case EField::Artist:
        tag.artist = CId3v2Text::Decode(encoding, text);
        if (version == 4) {
            auto values = CId3v2Text::DecodeAll(encoding, text);
            if (values.size() > 1)
                tag.artistValues = std::move(values);
        }
        break;
    case EField::Album:
        tag.album = CId3v2Text::Decode(encoding, text);
        break;
    case EField::Year:
        tag.year = CId3v2Text::FirstCharacters(CId3v2Text::Decode(encoding, text), 4,
                                               encoding == CId3v2Text::kLatin1);
        break;
    case EField::Comment: {
        if (text.size() < 3)
            return false;
        text = text.subspan(3);
        const std::size_t description = CId3v2Text::TerminatedLength(encoding, text);
        if (!CId3v2Text::Decode(encoding, text.first(description)).empty())
            return false;
        tag.comment = CId3v2Text::Decode(encoding, text.subspan(description));
        return true;
    }
    case EField::Genre:
        CId3v2Text::ReadGenre(CId3v2Text::Decode(encoding, text), tag.genre, tag.genreName);
        break;
    case EField::Track:
        tag.track = CId3v2Text::TrackNumber(CId3v2Text::Decode(encoding, text));
        break;
    case EField::AlbumArtist:
        tag.albumArtist = CId3v2Text::Decode(encoding, text);
        break;
    case EField::Disc:
        tag.disc = CId3v2Text::TrackNumber(CId3v2Text::Decode(encoding, text));
        break;
    case EField::Compilation:
        tag.compilation = CId3v2Text::Decode(encoding, text) == "1";
        break;
    case EField::ArtistSort:
        tag.artistSort = CId3v2Text::Decode(encoding, text);
        break;
    case EField::AlbumArtistSort:
        tag.albumArtistSort = CId3v2Text::Decode(encoding, text);
        break;
    case EField::AlbumSort:
        tag.albumSort = CId3v2Text::Decode(encoding, text);
        break;
    case EField::UserText: {
        // encoding | description | value(s)
        const std::size_t description = CId3v2Text::TerminatedLength(encoding, text);
        if (!IsArtistsDescription(CId3v2Text::Decode(encoding, text.first(description))))
            return false;
        tag.artists = CId3v2Text::DecodeAll(encoding, text.subspan(description));
        return true;
    }
    case EField::None:
    case EField::Picture:
        break;
    }
    return true;
}

// The pictures met so far: the first, until one of type 3 is found.
struct SPictures {
    CPictureNote note;
    bool front = false;
};

// Notes the picture frame whose header is at `at` from the bytes at hand alone: its head, when
// they hold it, else its frame's place. The front cover wins over any picture before it; of the
// others, the first stays.
void NotePicture(const CTagBytes& bytes, std::size_t at, std::size_t headerLength,
                 const SFrame& frame, int version, bool tagUnsynchronised, SPictures& found) {
    const auto skip = CId3v2Picture::DataStart(version, frame.format, tagUnsynchronised);
    if (found.front || !skip || *skip >= frame.size)
        return;
    const std::size_t dataAt = at + headerLength + *skip;
    const std::size_t dataSize = frame.size - *skip;
    const auto held = bytes.HeldFrom(dataAt, dataSize);
    CId3v2Picture::SHead head;
    switch (CId3v2Picture::ReadHead(held, version, held.size() == dataSize, head)) {
    case CId3v2Picture::EHead::Read:
        if (found.note && head.type != CId3v2Picture::kFrontCover)
            return;
        found.note = CPictureNote::Make(CPictureNote::EKind::Image, dataAt + head.imageAt,
                                        dataSize - head.imageAt, head.image);
        found.front = head.type == CId3v2Picture::kFrontCover;
        return;
    case CId3v2Picture::EHead::Short:
        if (!found.note)
            found.note =
                CPictureNote::Make(CPictureNote::EKind::Frame, at, headerLength + frame.size,
                                   SCoverSource::EImage::Unknown);
        return;
    case CId3v2Picture::EHead::Broken:
        return;
    }
}

// Walks the frames from `at`, reading the bodies of the wanted ones only, the first of each.
// The rarer fields never cost a read: their frames are taken where their bytes are at hand, and
// once the common fields are all found, the walk goes on only through bytes at hand.
void ReadFrames(CTagBytes& bytes, std::size_t at, int version, bool tagUnsynchronised,
                CId3v2Tag& tag) {
    const std::size_t headerLength = version == 2 ? 6 : 10;
    std::uint32_t seen = 0;
    std::vector<std::uint8_t> restored;
    SPictures pictures;
    while (seen != (kAllFields | kRareFields) || !pictures.front) {
        if ((seen & kAllFields) == kAllFields && !bytes.Held(at, headerLength))
            return;
        const auto h = bytes.Get(at, headerLength);
        SFrame frame;
        if (h.size() < headerLength || !ReadFrameHeader(h, version, frame))
            return;
        const std::size_t bodyAt = at + headerLength;
        if (frame.size > bytes.End() - bodyAt)
            return;
        at = bodyAt + frame.size;
        const EField field = frame.field;
        if (field == EField::Picture) {
            NotePicture(bytes, bodyAt - headerLength, headerLength, frame, version,
                        tagUnsynchronised, pictures);
            tag.picture = pictures.note;
            continue;
        }
        if (field == EField::None || (seen & Bit(field)) != 0 || frame.size > kMaxFrame)
            continue;
        if ((Bit(field) & kRareFields) != 0 && !bytes.Held(bodyAt, frame.size))
            continue;
        const auto body = bytes.Get(bodyAt, frame.size);
        if (body.size() < frame.size)
            return;
        const auto data = FrameData(body, frame, version, tagUnsynchronised, restored);
        if (data && Store(tag, field, *data, version))
            seen |= Bit(field);
    }
}

} // namespace

std::size_t CId3v2Tag::DeclaredLength(std::span<const std::uint8_t> h) {
    if (h.size() < kHeaderSize || h[0] != 'I' || h[1] != 'D' || h[2] != '3' || h[3] == 0xFF ||
        h[4] == 0xFF)
        return 0;
    const std::int64_t size = Syncsafe(h.subspan(6, 4));
    return size < 0 ? 0 : kHeaderSize + static_cast<std::size_t>(size);
}

std::vector<std::uint8_t> CId3v2Tag::Resynchronised(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0)
            ++i;
    }
    return out;
}

bool CId3v2Tag::Parse(std::span<const std::uint8_t> head, const Fetch& fetch) {
    const std::size_t end = DeclaredLength(head);
    const int version = end == 0 ? 0 : head[3];
    if (version < 2 || version > 4)
        return false;
    const std::uint8_t flags = head[5];
    if (version == 2 && (flags & kTagExtended) != 0)
        return false;
    const bool unsynchronised = (flags & kTagUnsynchronised) != 0;
    CTagBytes bytes(head, fetch, end);
    std::vector<std::uint8_t> whole;
    const Fetch none;
    if (unsynchronised && version < 4)
        whole = ReadWhole(bytes);
    CTagBytes restored(whole, none, whole.size());
    CTagBytes& source = unsynchronised && version < 4 ? restored : bytes;
    const std::size_t start =
        version > 2 && (flags & kTagExtended) != 0 ? FramesStart(source, version) : kHeaderSize;
    if (start != 0)
        ReadFrames(source, start, version, unsynchronised, *this);
    return true;
}
