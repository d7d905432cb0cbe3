#include "model/Mp3File.h"

#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"
#include "model/FieldIds.h"
#include "model/GenreTable.h"
#include "model/Id3v1Tag.h"
#include "model/Id3v2Tag.h"
#include "model/MpegHeader.h"
#include "model/MpegStream.h"
#include "model/VbrHeader.h"
#include "platform/File.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

CMp3File::CMp3File() : genre_(kGenreNone) {}

// The lists keep a million of these; what they hold beyond their texts is counted in bytes.
static_assert(sizeof(void*) != 8 || sizeof(CMp3File) == 40);

std::string CMp3File::FullPath() const {
    const std::string_view directory = Directory();
    const std::string_view fileName = FileName();
    std::string path;
    path.reserve(directory.size() + 1 + fileName.size());
    path += directory;
    path += '/';
    path += fileName;
    return path;
}

// The language is chosen before any track is read, and stays.
std::string_view CMp3File::Undefined() {
    static const std::string_view text = CStringTable::Get(EStringId::Undefined);
    return text;
}

void CMp3File::SetArtist(const std::string& value) {
    // An album artist that was the artist's text stays what it was.
    if ((flags_ & kAlbumArtistIsArtist) != 0 && value != Artist())
        SetAlbumArtist(std::string(Artist()));
    flags_ &= static_cast<std::uint8_t>(~kArtistUndefined);
    texts_.Set(ESlot::Artist, value);
}

void CMp3File::SetAlbum(const std::string& value) {
    flags_ &= static_cast<std::uint8_t>(~kAlbumUndefined);
    texts_.Set(ESlot::Album, value);
}

void CMp3File::SetAlbumArtist(std::string_view value) {
    const bool same = !value.empty() && (flags_ & kArtistUndefined) == 0 && value == Artist();
    if (same)
        flags_ |= kAlbumArtistIsArtist;
    else
        flags_ &= static_cast<std::uint8_t>(~kAlbumArtistIsArtist);
    rare_.Set(CRareFields::ESlot::AlbumArtist, same ? std::string_view() : value);
}

void CMp3File::SetDisc(std::uint16_t value) {
    const std::uint16_t inRecord = value <= (kDiscInRecord >> kDiscShift) ? value : 0;
    flags_ = static_cast<std::uint8_t>((flags_ & ~kDiscInRecord) | inRecord << kDiscShift);
    if (rare_.Disc() != value - inRecord)
        rare_.SetDisc(static_cast<std::uint16_t>(value - inRecord));
}

void CMp3File::SetCompilation(bool value) {
    if (value)
        flags_ |= kCompilation;
    else
        flags_ &= static_cast<std::uint8_t>(~kCompilation);
}

// The names are kept one after the other, each ended by a NUL, which no name holds.
void CMp3File::SetArtists(const std::vector<std::string_view>& names) {
    std::string list;
    if (names.size() > 1 || (names.size() == 1 && names[0] != Artist())) {
        for (const std::string_view name : names) {
            if (name.empty() || name.find('\0') != std::string_view::npos)
                continue;
            list += name;
            list += '\0';
        }
    }
    rare_.Set(CRareFields::ESlot::Artists, list);
}

std::vector<std::string_view> CMp3File::Artists() const {
    std::vector<std::string_view> names;
    std::string_view list = rare_.Get(CRareFields::ESlot::Artists);
    while (!list.empty()) {
        const std::size_t end = list.find('\0');
        names.push_back(list.substr(0, end));
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    }
    return names;
}

void CMp3File::SetGenre(std::uint8_t value) {
    genre_ = value;
    if (!GenreText().empty())
        texts_.Set(ESlot::GenreName, {});
}

std::string_view CMp3File::VersionLayerText() const {
    return HeaderText(EText::VersionLayer);
}

std::string_view CMp3File::BitrateText() const {
    return HeaderText(EText::Bitrate);
}

std::string_view CMp3File::FrequencyText() const {
    return HeaderText(EText::Frequency);
}

std::string_view CMp3File::ModeText() const {
    return HeaderText(EText::Mode);
}

namespace {

// What a load asked to read ahead looks for at once: the start of the file, or of the audio past
// a tag, as much as one buffer of the frame search holds.
constexpr std::int64_t kHeadAhead = 16384;

CTrackTexts::ESlot SlotOf(CMpegHeader::EText kind) {
    switch (kind) {
    case CMpegHeader::EText::VersionLayer:
        return CTrackTexts::ESlot::VersionLayer;
    case CMpegHeader::EText::Bitrate:
        return CTrackTexts::ESlot::Bitrate;
    case CMpegHeader::EText::Frequency:
        return CTrackTexts::ESlot::Frequency;
    case CMpegHeader::EText::Mode:
        break;
    }
    return CTrackTexts::ESlot::Mode;
}

std::size_t Index(CTrackTexts::ESlot slot) {
    return static_cast<std::size_t>(slot);
}

} // namespace

namespace {

// Where each code lies in the record's word, by EText, and how many bits it has: the version
// and layer (up to 8), the bitrate (its kilobits, up to 640), the frequency (up to 6) and the
// mode (up to 4).
constexpr std::array<unsigned, 4> kCodeShift{0, 4, 14, 17};
constexpr std::array<unsigned, 4> kCodeBits{4, 10, 3, 3};

} // namespace

std::uint16_t CMp3File::HeaderCode(EText kind) const {
    const auto i = static_cast<std::size_t>(kind);
    return static_cast<std::uint16_t>(headerCodes_ >> kCodeShift[i] & ((1U << kCodeBits[i]) - 1));
}

// A code too large for its bits (none of the tables' is) leaves the text to texts_.
void CMp3File::SetHeaderCode(EText kind, std::uint16_t code) {
    const auto i = static_cast<std::size_t>(kind);
    const std::uint32_t mask = ((1U << kCodeBits[i]) - 1) << kCodeShift[i];
    const std::uint32_t bits = std::uint32_t{code} << kCodeShift[i];
    headerCodes_ = (headerCodes_ & ~mask) | ((bits & mask) == bits ? bits : 0);
}

std::string_view CMp3File::HeaderText(EText kind) const {
    const std::uint16_t code = HeaderCode(kind);
    return code != 0 ? CMpegHeader::CodeText(kind, code) : texts_.Get(SlotOf(kind));
}

void CMp3File::SetHeaderText(EText kind, std::string_view text, CTrackTexts::Values& texts) {
    SetHeaderCode(kind, CMpegHeader::TextCode(kind, text));
    texts[Index(SlotOf(kind))] = HeaderCode(kind) != 0 ? std::string_view() : text;
}

// Tracks come folder by folder, so the folder text taken from the track before is most often
// the right one already.
bool CMp3File::SameDirectory(std::string_view base, std::string_view relative) const {
    const std::string_view known = directory_.View();
    return known.size() == base.size() + relative.size() && known.starts_with(base) &&
           known.ends_with(relative);
}

void CMp3File::SetDirectory(std::string_view base, std::string_view relative) {
    if (SameDirectory(base, relative))
        return;
    std::string directory;
    directory.reserve(base.size() + relative.size());
    directory += base;
    directory += relative;
    directory_ = CSharedText(directory);
}

bool CMp3File::Load(const std::string& directory, const std::string& fileName, IReporter& reporter,
                    const STrackReadOptions& options, CPictureNote* picture) {
    CFile file;
    const auto opened = file.Open(directory + '/' + fileName, CFile::EMode::Read);
    return Load(directory, fileName, file, opened, reporter, options, nullptr, picture);
}

// One open serves the tags and the header. The size counts everything before the last 128
// bytes, tag or not, so a file shorter than that cannot be a track. Each field of an ID3v2 tag
// that holds a text wins over the ID3v1 tag's; the ID3v1 tag fills the others. Without the
// ID3v2 reading, the ID3v1 tag alone gives the fields, its ID3v1.1 track number included. The
// texts found are stored at the end, all at once.
bool CMp3File::Load(const std::string& directory, const std::string& fileName, const CFile& file,
                    CFile::EOpenResult opened, IReporter& reporter,
                    const STrackReadOptions& options, CTextPool* pool, CPictureNote* picture) {
    if (picture != nullptr)
        *picture = {};
    SetDirectory(directory);
    // What the record held (in a list, the rare fields of the record before) is shared again
    // when the file gives the same.
    const CRareFields before = std::exchange(rare_, CRareFields());
    CTrackTexts::Values texts = texts_.All();
    texts[Index(ESlot::FileName)] = fileName;
    switch (opened) {
    case CFile::EOpenResult::NotRegular:
        texts_.Assign(texts, pool);
        return false;
    case CFile::EOpenResult::CannotOpen: {
        texts_.Assign(texts, pool);
        std::string text(CStringTable::Get(EStringId::ErrorOpeningFile));
        reporter.Report(CStringTable::Get(EStringId::InvalidHandle), text + FullPath());
        return true;
    }
    case CFile::EOpenResult::Opened:
        break;
    }
    CId3v1Tag::Block block;
    const std::int64_t tagOffset = file.Size() - static_cast<std::int64_t>(CId3v1Tag::kSize);
    if (options.readAhead && tagOffset >= 0)
        file.WillNeed(0, kHeadAhead);
    if (tagOffset < 0 ||
        file.ReadAt(tagOffset, block.data(), block.size()) != static_cast<int>(block.size())) {
        texts_.Assign(texts, pool);
        return false;
    }
    sizeK_ = static_cast<int>(tagOffset / 1000);
    if (const auto tag = CId3v1Tag::View(block))
        TakeId3v1(*tag, texts);

    CMpegStream stream(file);
    const auto id3v2 = stream.SkipId3v2();
    // The frame header lies past the tag, which may be hundreds of kilobytes: its bytes come
    // while the tag's frames are read.
    if (options.readAhead && !id3v2.empty())
        file.WillNeed(stream.Position(), kHeadAhead);
    CId3v2Tag tag2;
    if (options.readId3v2 && !id3v2.empty())
        TakeId3v2(file, id3v2, tag2, texts);
    // A picture that the file's end cuts short is none.
    if (picture != nullptr && std::cmp_less_equal(tag2.picture.End(), file.Size()))
        *picture = tag2.picture;
    CMpegHeader header;
    if (header.ReadHeader(stream)) {
        for (const EText kind :
             {EText::VersionLayer, EText::Bitrate, EText::Frequency, EText::Mode})
            SetHeaderCode(kind, header.Code(kind));
        const int bitrate = header.Bitrate();
        // 64-bit: sizeK * 8000 leaves 32 bits above 268 MB; the quotient fits again.
        duration_ = static_cast<int>(std::int64_t{sizeK_} * 8000 / bitrate);
        if (options.exactVbrTime) {
            // The audio runs from the first frame to the ID3v1 tag: a leading ID3v2 tag (a
            // picture is often hundreds of kilobytes) is no playing time.
            const std::int64_t audioEnd = HasTag() ? tagOffset : file.Size();
            const std::int64_t frameStart =
                stream.Position() - 4 - static_cast<std::int64_t>(stream.FrameBody().size());
            duration_ = static_cast<int>((audioEnd - frameStart) * 8 / bitrate);
            TakeVbrHeader(header, stream, audioEnd);
        }
    }
    texts_.Assign(texts, pool);
    rare_.Share(before);
    return true;
}

void CMp3File::TakeId3v1(const CId3v1Tag::SView& tag, CTrackTexts::Values& texts) {
    flags_ = kHasTag;
    texts[Index(ESlot::Title)] = tag.title;
    texts[Index(ESlot::Artist)] = tag.artist;
    texts[Index(ESlot::Album)] = tag.album;
    texts[Index(ESlot::Year)] = tag.year;
    texts[Index(ESlot::Comment)] = tag.comment;
    // 255 is the byte most writers give no genre, this one included: the record keeps 148 for it.
    genre_ = tag.genre == CId3v1Tag::kNoGenre ? kGenreNone : tag.genre;
    track_ = tag.track;
}

// The frames past the bytes at hand are read from the same open file, and only those that hold
// a wanted text. The texts stay in `tag` until they are stored. An empty text counts as none.
void CMp3File::TakeId3v2(const CFile& file, std::span<const std::uint8_t> head, CId3v2Tag& tag,
                         CTrackTexts::Values& texts) {
    const auto fetch = [&file](std::size_t offset, std::span<std::uint8_t> out) -> std::size_t {
        const auto got = file.ReadAt(static_cast<std::int64_t>(offset), out.data(), out.size());
        return got < 0 ? 0 : static_cast<std::size_t>(got);
    };
    if (!tag.Parse(head, fetch))
        return;
    for (auto [value, slot] : {std::pair{&tag.title, ESlot::Title},
                               {&tag.artist, ESlot::Artist},
                               {&tag.album, ESlot::Album},
                               {&tag.year, ESlot::Year},
                               {&tag.comment, ESlot::Comment}}) {
        if (*value && !(*value)->empty())
            texts[Index(slot)] = **value;
    }
    if (tag.artist && !tag.artist->empty())
        flags_ &= static_cast<std::uint8_t>(~kArtistUndefined);
    if (tag.album && !tag.album->empty())
        flags_ &= static_cast<std::uint8_t>(~kAlbumUndefined);
    // A name the table lacks leaves the number of the ID3v1 tag, which a writer gives back.
    if (tag.genreName)
        texts[Index(ESlot::GenreName)] = *tag.genreName;
    else if (tag.genre != kGenreNone)
        genre_ = tag.genre;
    if (tag.track != 0)
        track_ = tag.track;
    TakeRareFields(tag, texts);
}

// A list of artists that is the artist's frame split is kept only when the user text that
// names them is missing: that one lists them by name where the frame may hold a credit.
void CMp3File::TakeRareFields(const CId3v2Tag& tag, const CTrackTexts::Values& texts) {
    SetDisc(tag.disc);
    SetCompilation(tag.compilation);
    CRareFields::Values rare;
    const auto own = [](const std::optional<std::string>& text) {
        return text ? std::string_view(*text) : std::string_view();
    };
    rare[static_cast<std::size_t>(CRareFields::ESlot::ArtistSort)] = own(tag.artistSort);
    rare[static_cast<std::size_t>(CRareFields::ESlot::AlbumArtistSort)] = own(tag.albumArtistSort);
    rare[static_cast<std::size_t>(CRareFields::ESlot::AlbumSort)] = own(tag.albumSort);
    const std::string_view albumArtist = own(tag.albumArtist);
    const std::string_view artist = texts[Index(ESlot::Artist)];
    const bool same =
        !albumArtist.empty() && (flags_ & kArtistUndefined) == 0 && albumArtist == artist;
    if (same)
        flags_ |= kAlbumArtistIsArtist;
    else
        rare[static_cast<std::size_t>(CRareFields::ESlot::AlbumArtist)] = albumArtist;
    const auto& names = tag.artists.empty() ? tag.artistValues : tag.artists;
    std::string list;
    if (names.size() > 1 || (names.size() == 1 && names[0] != artist)) {
        for (const std::string& name : names) {
            list += name;
            list += '\0';
        }
    }
    rare[static_cast<std::size_t>(CRareFields::ESlot::Artists)] = list;
    rare_.Assign(rare, rare_.Disc());
}

// A variable bitrate's first frame says nothing of the others: the encoder's counts give the
// exact time and the average bitrate, whose text the header's table holds too. A constant
// bitrate ("Info") keeps the estimate.
void CMp3File::TakeVbrHeader(const CMpegHeader& header, const CMpegStream& stream,
                             std::int64_t audioEnd) {
    const auto body = stream.FrameBody();
    const std::int64_t frameStart = stream.Position() - 4 - static_cast<std::int64_t>(body.size());
    CVbrHeader vbr;
    if (!vbr.Parse(header, body, audioEnd - frameStart))
        return;
    duration_ = vbr.Seconds();
    SetHeaderCode(EText::Bitrate, CMpegHeader::KilobitsCode(vbr.Kilobits()));
}

namespace {

class CSilentReporter : public IReporter {
public:
    void Report(std::string_view, std::string_view) override {}
};

} // namespace

// A record made afresh: whatever the old one held that the file does not goes with it. A file
// that has gone reads as one that cannot be opened, without a message: its writer reports.
bool CMp3File::Reload(const STrackReadOptions& options) {
    CMp3File fresh;
    fresh.ShareDirectory(*this);
    CSilentReporter silent;
    if (!fresh.Load(std::string(Directory()), std::string(FileName()), silent, options))
        return false;
    *this = std::move(fresh);
    return true;
}

std::string_view CMp3File::GetGenreName() const {
    if (const std::string_view name = GenreText(); !name.empty())
        return name;
    if (genre_ >= kGenreNone)
        return CStringTable::Get(EStringId::Undefined);
    return genreNames[genre_];
}

std::string CMp3File::GetFieldText(EFieldId field) const {
    std::string text;
    AppendFieldText(field, text);
    return text;
}

std::optional<std::string_view> CMp3File::TextView(EFieldId field) const {
    switch (field) {
    case EFieldId::File:
        return FileName();
    case EFieldId::Artist:
        return Artist();
    case EFieldId::Title:
        return Title();
    case EFieldId::Location:
        return Directory();
    case EFieldId::Album:
        return Album();
    case EFieldId::Genre:
        return GetGenreName();
    case EFieldId::Date:
        return Year();
    case EFieldId::Comment:
        return Comment();
    case EFieldId::Bitrate:
        return BitrateText();
    case EFieldId::Frequency:
        return FrequencyText();
    case EFieldId::Mode:
        return ModeText();
    case EFieldId::MpegLayer:
        return VersionLayerText();
    case EFieldId::AlbumArtist:
        return AlbumArtist();
    case EFieldId::Size:
    case EFieldId::Time:
    case EFieldId::Track:
    case EFieldId::Disc:
        return std::nullopt;
    }
    return CStringTable::Get(EStringId::NotAssigned);
}

void CMp3File::TakeOver(CMp3File&& track, CTextPool& pool) {
    CTrackTexts texts;
    texts.CopyFrom(track.texts_, &pool);
    track.texts_ = CTrackTexts();
    *this = std::move(track);
    texts_.Swap(texts);
}

void CMp3File::AllTextViews(FieldViews& views) const {
    const CTrackTexts::Values own = texts_.All();
    const auto at = [&views](EFieldId field) -> std::string_view& {
        return views[static_cast<std::size_t>(field)];
    };
    views = {};
    at(EFieldId::File) = own[Index(ESlot::FileName)];
    at(EFieldId::Artist) =
        (flags_ & kArtistUndefined) != 0 ? Undefined() : own[Index(ESlot::Artist)];
    at(EFieldId::Title) = own[Index(ESlot::Title)];
    at(EFieldId::Location) = Directory();
    at(EFieldId::Album) = (flags_ & kAlbumUndefined) != 0 ? Undefined() : own[Index(ESlot::Album)];
    at(EFieldId::Genre) = GetGenreName();
    at(EFieldId::Date) = own[Index(ESlot::Year)];
    at(EFieldId::Comment) = own[Index(ESlot::Comment)];
    at(EFieldId::Bitrate) = BitrateText();
    at(EFieldId::Frequency) = FrequencyText();
    at(EFieldId::Mode) = ModeText();
    at(EFieldId::MpegLayer) = VersionLayerText();
    at(EFieldId::AlbumArtist) = AlbumArtist();
}

void CMp3File::AppendFieldText(EFieldId field, std::string& out) const {
    if (const auto text = TextView(field)) {
        out += *text;
    } else if (field == EFieldId::Size) {
        AppendSize(out, sizeK_);
    } else if (field == EFieldId::Track || field == EFieldId::Disc) {
        char number[8];
        if (const std::uint16_t value = field == EFieldId::Track ? track_ : Disc(); value != 0)
            out.append(number, std::to_chars(number, number + sizeof number, value).ptr);
    } else {
        AppendDuration(out, duration_);
    }
}

namespace {

int CompareNumbers(int a, int b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Character by character as the texts show, by code, case-sensitive: "Zebra" before "apple".
// Texts that are both valid UTF-8 (all a track's own texts, as known when they were stored, or
// the tables' ASCII) show in the order of their bytes.
int CompareTexts(std::string_view a, std::string_view b, bool utf8) {
    if (!utf8)
        return CUtf8::CompareShown(a, b);
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

// The sign of the key gives the direction. Size is the one field whose sense is reversed: a
// positive key puts the larger files first. A key that names no field leaves the order alone.
int CMp3File::Compare(const CMp3File& a, const CMp3File& b, int key) {
    if (key == 0 || key < -kFieldCount || key > kFieldCount)
        return 0;
    const int sign = key > 0 ? 1 : -1;
    const auto field = static_cast<EFieldId>(key > 0 ? key : -key);
    switch (field) {
    case EFieldId::Size:
        return -sign * CompareNumbers(a.sizeK_, b.sizeK_);
    case EFieldId::Time:
        return sign * CompareNumbers(a.duration_, b.duration_);
    case EFieldId::Bitrate:
        return sign * CompareNumbers(a.Bitrate(), b.Bitrate());
    case EFieldId::Track:
        return sign * CompareNumbers(a.track_, b.track_);
    case EFieldId::Disc:
        return sign * CompareNumbers(a.Disc(), b.Disc());
    case EFieldId::Location:
        return sign * CompareTexts(a.Directory(), b.Directory(), false);
    case EFieldId::AlbumArtist:
        // Kept beside the track's own texts, whose check for UTF-8 does not cover it.
        return sign * CompareTexts(a.AlbumArtist(), b.AlbumArtist(), false);
    default:
        break;
    }
    const bool utf8 = a.texts_.AllUtf8() && b.texts_.AllUtf8();
    return sign * CompareTexts(*a.TextView(field), *b.TextView(field), utf8);
}

namespace {

// sizeK / 1000 with one decimal, rounded as printf rounds sizeK * 0.001. Away from a tie the
// integer digits say it; at a tie (a remainder of exactly 50) the double's binary value
// decides, so that case goes to to_chars.
char* FormatTenths(char* out, std::int64_t sizeK) {
    const std::int64_t rest = sizeK % 100;
    if (sizeK < 0 || rest == 50) {
        const double megabytes = static_cast<double>(sizeK) * 0.001;
        return std::to_chars(out, out + 48, megabytes, std::chars_format::fixed, 1).ptr;
    }
    const std::int64_t tenths = sizeK / 100 + (rest > 50 ? 1 : 0);
    out = std::to_chars(out, out + 40, tenths / 10).ptr;
    *out++ = '.';
    *out++ = static_cast<char>('0' + tenths % 10);
    return out;
}

// The string table's size format split around its number, and the language's decimal mark
// ("1,0 Mo" in French), found once.
struct SSizeFormat {
    std::string_view before, after;
    bool hasNumber = false;
    char decimalMark = '.';
};

SSizeFormat SplitSizeFormat() {
    const std::string_view format = CStringTable::Get(EStringId::SizeFormat);
    constexpr std::string_view kNumber = "%5.1f";
    const auto at = format.find(kNumber);
    const char mark = CStringTable::Language() == CStringTable::ELanguage::French ? ',' : '.';
    if (at == std::string_view::npos)
        return {format, {}, false, mark};
    return {format.substr(0, at), format.substr(at + kNumber.size()), true, mark};
}

// As "%02d": at least two digits, a sign if negative (only a corrupt snapshot gives one).
char* TwoDigits(char* out, std::int64_t value) {
    if (value >= 0 && value < 10)
        *out++ = '0';
    return std::to_chars(out, out + 24, value).ptr;
}

} // namespace

// The size in megabytes with one decimal, at least five characters wide ("  4.0 MB"), through
// the string table's format, with the language's decimal mark. to_chars rounds exactly as printf
// does, at a fraction of its cost: the list formats a size for every row it shows.
void CMp3File::AppendSize(std::string& out, std::int64_t sizeK) {
    static const SSizeFormat format = SplitSizeFormat();
    out += format.before;
    if (!format.hasNumber)
        return;
    char number[64];
    char* start = number + 8;
    char* end = FormatTenths(start, sizeK);
    if (format.decimalMark != '.')
        std::replace(start, end, '.', format.decimalMark);
    while (end - start < 5)
        *--start = ' ';
    out.append(start, end);
    out += format.after;
}

std::string CMp3File::FormatSize(std::int64_t sizeK) {
    std::string text;
    AppendSize(text, sizeK);
    return text;
}

// "m:ss", or "h:mm:ss" from an hour on.
void CMp3File::AppendDuration(std::string& out, std::int64_t seconds) {
    const std::int64_t h = seconds / 3600;
    const std::int64_t m = seconds / 60 - 60 * h;
    const std::int64_t s = seconds % 60;
    char text[80];
    char* end = std::to_chars(text, text + 24, h != 0 ? h : m).ptr;
    *end++ = ':';
    if (h != 0) {
        end = TwoDigits(end, m);
        *end++ = ':';
    }
    end = TwoDigits(end, s);
    out.append(text, end);
}

std::string CMp3File::FormatDuration(std::int64_t seconds) {
    std::string text;
    AppendDuration(text, seconds);
    return text;
}

namespace {

// The directory relative to the snapshot's base: the tail of the directory beyond the base's
// length, or nothing for the base's own directory (one byte shorter, without the "/").
std::string_view RelativeDirectory(std::string_view directory, std::string_view base) {
    if (directory.size() <= base.size())
        return {};
    return directory.substr(base.size());
}

// The highest bitrate a reader writes: MPEG's table tops out at 448 kbit/s, an average from a
// VBR header at 640.
constexpr int kMaxKilobits = 640;

// The snapshot has no numeric bitrate; its text ("128 kbit/s", or an average such as
// "187 kbit/s") gives it back for sorting. Any other text is no bitrate at all.
int BitrateFromText(std::string_view text) {
    constexpr std::string_view kUnit = " kbit/s";
    const std::size_t digits = text.size() - std::min(text.size(), kUnit.size());
    if (!text.ends_with(kUnit) || digits == 0 || digits > 3)
        return 0;
    int kilobits = 0;
    for (const char c : text.substr(0, digits)) {
        if (c < '0' || c > '9')
            return 0;
        kilobits = kilobits * 10 + (c - '0');
    }
    return kilobits >= 1 && kilobits <= kMaxKilobits ? kilobits * 1000 : 0;
}

// A name that stays in its folder: no "/" and not "..". Nothing the walk records has a NUL byte.
bool NameStaysInFolder(std::string_view fileName) {
    return fileName.find('/') == std::string_view::npos &&
           fileName.find('\0') == std::string_view::npos && fileName != "..";
}

// A directory that does not climb out of the snapshot's folder with a ".." piece. One pass:
// every record is judged.
bool StaysUnderBase(std::string_view relative) {
    std::size_t piece = 0;
    for (std::size_t i = 0; i <= relative.size(); ++i) {
        if (i < relative.size() && relative[i] == '\0')
            return false;
        if (i < relative.size() && relative[i] != '/')
            continue;
        if (relative.substr(piece, i - piece) == "..")
            return false;
        piece = i + 1;
    }
    return true;
}

} // namespace

// The bitrate's code is its kilobits. A text that is no code is a snapshot's, and gives a
// rate when it reads as one.
int CMp3File::Bitrate() const {
    const std::uint16_t code = HeaderCode(EText::Bitrate);
    return code != 0 ? code * 1000 : BitrateFromText(texts_.Get(ESlot::Bitrate));
}

void CMp3File::Serialize(CArchiveWriter& archive, std::string_view base) const {
    archive.WriteString(FileName());
    archive.WriteString(Title());
    archive.WriteString(RelativeDirectory(Directory(), base));
    archive.WriteString(Artist());
    archive.WriteString(Album());
    archive.WriteString(Comment());
    archive.WriteByte(genre_);
    archive.WriteInt32(sizeK_);
    archive.WriteInt32(duration_);
    archive.WriteString(BitrateText());
    archive.WriteString(FrequencyText());
    archive.WriteString(VersionLayerText());
    archive.WriteString(ModeText());
    archive.WriteString(Year());
}

// A record may hold any text in the header's fields: a text that is no table entry is kept as
// it is.
bool CMp3File::Serialize(CArchiveReader& archive, std::string_view base, CTextPool* pool,
                         const CMp3File* before) {
    std::string_view fileName, title, relative, artist, album, comment;
    std::string_view bitrate, frequency, versionLayer, mode, year;
    std::int32_t sizeK = 0;
    std::int32_t duration = 0;
    const bool ok =
        archive.ReadString(fileName) && archive.ReadString(title) && archive.ReadString(relative) &&
        archive.ReadString(artist) && archive.ReadString(album) && archive.ReadString(comment) &&
        archive.ReadByte(genre_) && archive.ReadInt32(sizeK) && archive.ReadInt32(duration) &&
        archive.ReadString(bitrate) && archive.ReadString(frequency) &&
        archive.ReadString(versionLayer) && archive.ReadString(mode) && archive.ReadString(year);
    // No file has a negative size or time; a record that leaves the folder would send the
    // player and the properties sheet to files that are not the catalog's.
    // The folder of the record before, when it is the same, was judged with that record.
    const bool judged = before != nullptr && before->SameDirectory(base, relative);
    if (!ok || sizeK < 0 || duration < 0 || !NameStaysInFolder(fileName) ||
        (!judged && !StaysUnderBase(relative)))
        return false;
    sizeK_ = sizeK;
    duration_ = duration;
    if (judged)
        ShareDirectory(*before);
    else
        SetDirectory(base, relative);
    flags_ = 0;
    rare_ = CRareFields();
    CTrackTexts::Values texts{fileName, title, artist, album, year, comment};
    SetHeaderText(EText::VersionLayer, versionLayer, texts);
    SetHeaderText(EText::Bitrate, bitrate, texts);
    SetHeaderText(EText::Frequency, frequency, texts);
    SetHeaderText(EText::Mode, mode, texts);
    // The tracks of an album repeat its artist, album, year and comment.
    std::uint16_t known = 0;
    if (before != nullptr && before->texts_.AllUtf8()) {
        for (const ESlot slot : {ESlot::Artist, ESlot::Album, ESlot::Year, ESlot::Comment}) {
            const auto i = Index(slot);
            if (texts[i] == before->texts_.Get(slot))
                known |= static_cast<std::uint16_t>(1U << i);
        }
    }
    texts_.Assign(texts, pool, known);
    archive.Release();
    return true;
}
