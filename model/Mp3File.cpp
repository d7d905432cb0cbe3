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

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <string_view>

namespace {

const std::string& UndefinedText() {
    static const std::string text(CStringTable::Get(EStringId::Undefined));
    return text;
}

} // namespace

CMp3File::CMp3File() : artist_(UndefinedText()), album_(UndefinedText()), genre_(kGenreNone) {}

std::string CMp3File::FullPath() const {
    std::string path;
    path.reserve(directory_.size() + 1 + fileName_.size());
    path += directory_;
    path += '/';
    path += fileName_;
    return path;
}

bool CMp3File::Load(const std::string& directory, const std::string& fileName, IReporter& reporter,
                    const STrackReadOptions& options) {
    CFile file;
    const auto opened = file.Open(directory + '/' + fileName, CFile::EMode::Read);
    return Load(directory, fileName, file, opened, reporter, options);
}

// One open serves the tags and the header. The size counts everything before the last 128
// bytes, tag or not, so a file shorter than that cannot be a track. An ID3v1 tag wins over an
// ID3v2 tag: it is the one the properties sheet writes.
bool CMp3File::Load(const std::string& directory, const std::string& fileName, const CFile& file,
                    CFile::EOpenResult opened, IReporter& reporter,
                    const STrackReadOptions& options) {
    fileName_ = fileName;
    directory_ = directory;
    switch (opened) {
    case CFile::EOpenResult::NotRegular:
        return false;
    case CFile::EOpenResult::CannotOpen: {
        std::string text(CStringTable::Get(EStringId::ErrorOpeningFile));
        reporter.Report(CStringTable::Get(EStringId::InvalidHandle), text + FullPath());
        return true;
    }
    case CFile::EOpenResult::Opened:
        break;
    }
    if (file.Size() < static_cast<std::int64_t>(CId3v1Tag::kSize))
        return false;
    const std::int64_t tagOffset = file.Size() - static_cast<std::int64_t>(CId3v1Tag::kSize);
    sizeK_ = static_cast<int>(tagOffset / 1000);

    CId3v1Tag::Block block;
    if (file.ReadAt(tagOffset, block.data(), block.size()) != static_cast<int>(block.size()))
        return false;
    CId3v1Tag tag;
    if (tag.Parse(block)) {
        hasTag_ = true;
        title_ = std::move(tag.title);
        artist_ = std::move(tag.artist);
        album_ = std::move(tag.album);
        year_ = std::move(tag.year);
        comment_ = std::move(tag.comment);
        genre_ = tag.genre;
    }

    CMpegStream stream(file);
    const auto id3v2 = stream.SkipId3v2();
    if (options.readId3v2 && !hasTag_ && !id3v2.empty())
        TakeId3v2(file, id3v2);
    CMpegHeader header;
    if (header.ReadHeader(stream)) {
        versionLayerText_ = header.VersionLayerText();
        modeText_ = header.ModeText();
        bitrateText_ = header.BitrateText();
        bitrate_ = header.Bitrate();
        frequencyText_ = header.FrequencyText();
        // 64-bit: sizeK * 8000 leaves 32 bits above 268 MB; the quotient fits again.
        duration_ = static_cast<int>(std::int64_t{sizeK_} * 8000 / bitrate_);
        if (options.exactVbrTime)
            TakeVbrHeader(header, stream, hasTag_ ? tagOffset : file.Size());
    }
    return true;
}

// The frames past the bytes at hand are read from the same open file, and only those that hold
// a wanted text.
void CMp3File::TakeId3v2(const CFile& file, std::span<const std::uint8_t> head) {
    const auto fetch = [&file](std::size_t offset, std::span<std::uint8_t> out) -> std::size_t {
        const auto got = file.ReadAt(static_cast<std::int64_t>(offset), out.data(), out.size());
        return got < 0 ? 0 : static_cast<std::size_t>(got);
    };
    CId3v2Tag tag;
    if (!tag.Parse(head, fetch))
        return;
    for (auto [value, field] : {std::pair{&tag.title, &title_},
                                {&tag.artist, &artist_},
                                {&tag.album, &album_},
                                {&tag.year, &year_},
                                {&tag.comment, &comment_}}) {
        if (*value)
            *field = std::move(**value);
    }
    genre_ = tag.genre;
}

// A variable bitrate's first frame says nothing of the others: the encoder's counts give the
// exact time and the average bitrate. A constant bitrate ("Info") keeps the estimate.
void CMp3File::TakeVbrHeader(const CMpegHeader& header, const CMpegStream& stream,
                             std::int64_t audioEnd) {
    const auto body = stream.FrameBody();
    const std::int64_t frameStart = stream.Position() - 4 - static_cast<std::int64_t>(body.size());
    CVbrHeader vbr;
    if (!vbr.Parse(header, body, audioEnd - frameStart))
        return;
    duration_ = vbr.Seconds();
    bitrate_ = vbr.Kilobits() * 1000;
    bitrateText_ = std::to_string(vbr.Kilobits()) + " kbit/s";
}

namespace {

// The text an untagged track shows as its artist and album is a display text, not data. A
// snapshot made in the other language holds that language's text, so both are recognised.
std::string_view TagText(const std::string& field) {
    for (const auto language :
         {CStringTable::ELanguage::English, CStringTable::ELanguage::French}) {
        if (field == CStringTable::Get(EStringId::Undefined, language))
            return {};
    }
    return field;
}

STagWriteResult WriteFailed(int error) {
    return {STagWriteResult::EStatus::WriteFailed, error != 0 ? error : EIO};
}

} // namespace

STagWriteResult CMp3File::WriteTag() {
    CFile file;
    if (file.Open(FullPath(), CFile::EMode::ReadWrite) != CFile::EOpenResult::Opened)
        return {STagWriteResult::EStatus::CannotOpen, 0};
    CId3v1Tag tag;
    tag.title = TagText(title_);
    tag.artist = TagText(artist_);
    tag.album = TagText(album_);
    tag.year = TagText(year_);
    tag.comment = TagText(comment_);
    tag.genre = genre_;
    const CId3v1Tag::Block block = tag.Format();

    const std::int64_t size = file.Size();
    const auto tagSize = static_cast<std::int64_t>(CId3v1Tag::kSize);
    CId3v1Tag::Block old{};
    errno = 0;
    const bool readOld =
        size < tagSize || file.ReadAt(size - tagSize, old.data(), old.size()) == tagSize;
    if (!readOld)
        return WriteFailed(errno);
    const bool hasOld = size >= tagSize && CId3v1Tag::HasMarker(old);
    const std::int64_t offset = hasOld ? size - tagSize : size;
    errno = 0;
    if (!file.WriteAt(offset, block.data(), block.size())) {
        const int error = errno;
        // Never leave half a tag behind: put the old one back, or cut an append off.
        if (hasOld)
            file.WriteAt(offset, old.data(), old.size());
        else
            file.Truncate(size);
        return WriteFailed(error);
    }
    hasTag_ = true;
    return {};
}

std::string_view CMp3File::GetGenreName() const {
    if (genre_ >= kGenreNone)
        return CStringTable::Get(EStringId::Undefined);
    return genreNames[genre_];
}

std::string CMp3File::GetFieldText(EFieldId field) const {
    std::string text;
    AppendFieldText(field, text);
    return text;
}

const std::string* CMp3File::StoredText(EFieldId field) const {
    switch (field) {
    case EFieldId::File:
        return &fileName_;
    case EFieldId::Artist:
        return &artist_;
    case EFieldId::Title:
        return &title_;
    case EFieldId::Location:
        return &directory_;
    case EFieldId::Album:
        return &album_;
    case EFieldId::Date:
        return &year_;
    case EFieldId::Comment:
        return &comment_;
    case EFieldId::Bitrate:
        return &bitrateText_;
    case EFieldId::Frequency:
        return &frequencyText_;
    case EFieldId::Mode:
        return &modeText_;
    case EFieldId::MpegLayer:
        return &versionLayerText_;
    default:
        return nullptr;
    }
}

void CMp3File::AppendFieldText(EFieldId field, std::string& out) const {
    if (const std::string* stored = StoredText(field))
        out += *stored;
    else if (field == EFieldId::Size)
        out += FormatSize(sizeK_);
    else if (field == EFieldId::Genre)
        out += GetGenreName();
    else if (field == EFieldId::Time)
        out += FormatDuration(duration_);
    else
        out += CStringTable::Get(EStringId::NotAssigned);
}

namespace {

int CompareNumbers(int a, int b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Byte by byte, as unsigned codes, case-sensitive: "Zebra" before "apple".
int CompareTexts(std::string_view a, std::string_view b) {
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
        return sign * CompareNumbers(a.bitrate_, b.bitrate_);
    case EFieldId::Genre:
        return sign * CompareTexts(a.GetGenreName(), b.GetGenreName());
    default:
        break;
    }
    const std::string* textA = a.StoredText(field);
    return textA == nullptr ? 0 : sign * CompareTexts(*textA, *b.StoredText(field));
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

} // namespace

// The size in megabytes with one decimal, at least five characters wide ("  4.0 MB"), through
// the string table's format. to_chars rounds exactly as printf does, at a fraction of its cost:
// the list formats a size for every row it shows.
std::string CMp3File::FormatSize(std::int64_t sizeK) {
    static const std::string_view format = CStringTable::Get(EStringId::SizeFormat);
    constexpr std::string_view kNumber = "%5.1f";
    const auto at = format.find(kNumber);
    char number[48];
    const char* end = FormatTenths(number, sizeK);
    const auto length = static_cast<std::size_t>(end - number);
    std::string text;
    text.reserve(format.size() + length);
    text.append(format.substr(0, at == std::string_view::npos ? format.size() : at));
    if (at == std::string_view::npos)
        return text;
    if (length < 5)
        text.append(5 - length, ' ');
    text.append(number, length);
    text.append(format.substr(at + kNumber.size()));
    return text;
}

namespace {

// As "%02d": at least two digits, a sign if negative (only a corrupt snapshot gives one).
void AppendTwoDigits(std::string& text, std::int64_t value) {
    if (value >= 0 && value < 10)
        text += '0';
    text += std::to_string(value);
}

} // namespace

// "m:ss", or "h:mm:ss" from an hour on.
std::string CMp3File::FormatDuration(std::int64_t seconds) {
    const std::int64_t h = seconds / 3600;
    const std::int64_t m = seconds / 60 - 60 * h;
    const std::int64_t s = seconds % 60;
    std::string text = std::to_string(h != 0 ? h : m);
    text += ':';
    if (h != 0) {
        AppendTwoDigits(text, m);
        text += ':';
    }
    AppendTwoDigits(text, s);
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

// The file must lie under the snapshot's folder: the directory climbs out of it with a ".."
// piece, the name with any "/". Nothing the walk records has a NUL byte.
bool StaysUnderBase(std::string_view relative, std::string_view fileName) {
    if (relative.find('\0') != std::string_view::npos ||
        fileName.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos ||
        fileName == "..")
        return false;
    while (!relative.empty()) {
        const std::size_t slash = std::min(relative.find('/'), relative.size());
        if (relative.substr(0, slash) == "..")
            return false;
        relative.remove_prefix(std::min(slash + 1, relative.size()));
    }
    return true;
}

} // namespace

void CMp3File::Serialize(CArchiveWriter& archive, std::string_view base) const {
    archive.WriteString(fileName_);
    archive.WriteString(title_);
    archive.WriteString(RelativeDirectory(directory_, base));
    archive.WriteString(artist_);
    archive.WriteString(album_);
    archive.WriteString(comment_);
    archive.WriteByte(genre_);
    archive.WriteInt32(sizeK_);
    archive.WriteInt32(duration_);
    archive.WriteString(bitrateText_);
    archive.WriteString(frequencyText_);
    archive.WriteString(versionLayerText_);
    archive.WriteString(modeText_);
    archive.WriteString(year_);
}

bool CMp3File::Serialize(CArchiveReader& archive, std::string_view base) {
    std::string relative;
    std::int32_t sizeK = 0;
    std::int32_t duration = 0;
    const bool ok = archive.ReadString(fileName_) && archive.ReadString(title_) &&
                    archive.ReadString(relative) && archive.ReadString(artist_) &&
                    archive.ReadString(album_) && archive.ReadString(comment_) &&
                    archive.ReadByte(genre_) && archive.ReadInt32(sizeK) &&
                    archive.ReadInt32(duration) && archive.ReadString(bitrateText_) &&
                    archive.ReadString(frequencyText_) && archive.ReadString(versionLayerText_) &&
                    archive.ReadString(modeText_) && archive.ReadString(year_);
    // No file has a negative size or time; a record that leaves the folder would send the
    // player and the properties sheet to files that are not the catalog's.
    if (!ok || sizeK < 0 || duration < 0 || !StaysUnderBase(relative, fileName_))
        return false;
    sizeK_ = sizeK;
    duration_ = duration;
    directory_.reserve(base.size() + relative.size());
    directory_.assign(base);
    directory_ += relative;
    bitrate_ = BitrateFromText(bitrateText_);
    return true;
}
