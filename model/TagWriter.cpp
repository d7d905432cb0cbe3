#include "model/TagWriter.h"

#include "model/GenreTable.h"
#include "model/Id3v1Tag.h"
#include "model/Id3v2Layout.h"
#include "model/Id3v2Picture.h"
#include "model/Id3v2Rewrite.h"
#include "model/Id3v2Tag.h"
#include "model/Mp3File.h"
#include "platform/File.h"
#include "platform/ReplacementFile.h"
#include "platform/SafePath.h"
#include "platform/StringTable.h"
#include "platform/UninterruptedWrite.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using EStatus = STagWriteResult::EStatus;
using EReason = STagWriteResult::EReason;

constexpr std::size_t kFooterSize = 10;
// A tag that grows takes room for later edits: a kilobyte and a thousandth of the file.
constexpr std::int64_t kMaxPadding = std::int64_t{64} * 1024;

STagWriteResult Failed(int error) {
    return {EStatus::WriteFailed, error != 0 ? error : EIO, EReason::None};
}

STagWriteResult Refused(EReason reason) {
    return {EStatus::Refused, 0, reason};
}

// The text an untagged track shows as its artist and album is a display text, not data. A
// snapshot made in the other language holds that language's text, so both are recognised.
std::string_view TagText(std::string_view field) {
    for (const auto language :
         {CStringTable::ELanguage::English, CStringTable::ELanguage::French}) {
        if (field == CStringTable::Get(EStringId::Undefined, language))
            return {};
    }
    return field;
}

// The ID3v1 tag of the track's values with the edit's; no genre goes in as the byte that every
// reader takes for none. Beside an ID3v2 tag it is a copy for the readers of ID3v1 alone, so a
// text goes in as Latin-1 where it can. A text too long for its field is cut where a character
// ends. The track number takes the comment's last two bytes (ID3v1.1): in a tag that stands
// `alone` it is kept there, the comment cut to make room, as the properties sheet limits it;
// beside an ID3v2 tag, which holds both whole, only where the comment leaves them free.
CId3v1Tag::Block Id3v1Block(const CMp3File& track, const STagEdit& edit, bool copy, bool alone) {
    const auto field = [copy](const std::optional<std::string>& edited, std::string_view current,
                              std::size_t width) {
        std::string text(TagText(edited ? std::string_view(*edited) : current));
        if (copy) {
            if (auto latin1 = CUtf8::Latin1(text))
                text = std::move(*latin1);
        }
        return std::string(CUtf8::CutShown(text, width));
    };
    CId3v1Tag tag;
    tag.title = field(edit.title, track.Title(), 30);
    tag.artist = field(edit.artist, track.Artist(), 30);
    tag.album = field(edit.album, track.Album(), 30);
    tag.year = field(edit.year, track.Year(), 4);
    const std::uint16_t number = edit.track.value_or(track.Track());
    const auto numbered = static_cast<std::uint8_t>(number <= 0xFF ? number : 0);
    tag.comment = field(edit.comment, track.Comment(),
                        alone && numbered != 0 ? CId3v1Tag::kNumberedComment : 30);
    tag.track = tag.comment.size() <= CId3v1Tag::kNumberedComment ? numbered : 0;
    tag.genre = edit.genre ? *edit.genre : track.Genre();
    if (tag.genre == kGenreNone)
        tag.genre = CId3v1Tag::kNoGenre;
    return tag.Format();
}

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

// Whether the edit changes what the track shows; blanks stand for no text.
bool Changes(const CMp3File& track, const STagEdit& edit) {
    const auto differs = [](const std::optional<std::string>& wanted, std::string_view now) {
        if (!wanted)
            return false;
        const bool blank = IsBlank(*wanted);
        now = TagText(now);
        return now.empty() ? !blank : blank || !CUtf8::SameShown(now, *wanted);
    };
    return differs(edit.title, track.Title()) || differs(edit.artist, track.Artist()) ||
           differs(edit.album, track.Album()) || differs(edit.year, track.Year()) ||
           differs(edit.comment, track.Comment()) ||
           differs(edit.albumArtist, track.AlbumArtist()) ||
           (edit.genre && (*edit.genre != track.Genre() || !track.GenreText().empty())) ||
           (edit.track && *edit.track != track.Track()) ||
           (edit.disc && *edit.disc != track.Disc());
}

// Two blocks that any reader reads alike: the same texts, track number and genre byte, whatever
// pads the fields.
bool SaySame(const CId3v1Tag::Block& a, const CId3v1Tag::Block& b) {
    const auto x = CId3v1Tag::View(a);
    const auto y = CId3v1Tag::View(b);
    return x && y && x->title == y->title && x->artist == y->artist && x->album == y->album &&
           x->year == y->year && x->comment == y->comment && x->track == y->track &&
           x->genre == y->genre;
}

// The ID3v1 tag the file ends in after the write. Beside an ID3v2 tag it is written only where
// the file has one: the ID3v2 tag carries every text whole, and a second tag would be a second
// comment in other programs. An old block that says what the new one would keeps its bytes.
// A file that gains an ID3v2 tag kept its texts in the ID3v1 tag alone: they keep their bytes.
std::optional<CId3v1Tag::Block> NewId3v1(const CMp3File& track, const STagEdit& edit, bool v2,
                                         bool copy, const std::optional<CId3v1Tag::Block>& old) {
    if (v2 && !old)
        return std::nullopt;
    const CId3v1Tag::Block block = Id3v1Block(track, edit, copy, !v2);
    return old && SaySame(*old, block) ? old : block;
}

// The whole tag's length from its header: the size it declares, and a 2.4 footer.
std::size_t TagLength(const std::array<std::uint8_t, CId3v2Tag::kHeaderSize>& head) {
    const std::size_t declared = CId3v2Tag::DeclaredLength(head);
    const bool footer = head[3] == 4 && (head[5] & 0x10) != 0;
    return declared == 0 ? 0 : declared + (footer ? kFooterSize : 0);
}

bool StartsWithTag(const std::array<std::uint8_t, CId3v2Tag::kHeaderSize>& head) {
    return head[0] == 'I' && head[1] == 'D' && head[2] == '3';
}

// The first and last byte in which two tags of one length differ, as a range of `now`.
std::optional<CUninterruptedWrite::SRange> Difference(const std::vector<std::uint8_t>& old,
                                                      const std::vector<std::uint8_t>& now) {
    const auto first = std::mismatch(old.begin(), old.end(), now.begin());
    if (first.first == old.end())
        return std::nullopt;
    const auto last = std::mismatch(old.rbegin(), old.rend(), now.rbegin());
    const auto begin = static_cast<std::size_t>(first.first - old.begin());
    const auto end = old.size() - static_cast<std::size_t>(last.first - old.rbegin());
    const auto view = [begin, end](const std::vector<std::uint8_t>& bytes) {
        return std::string_view(reinterpret_cast<const char*>(bytes.data()) + begin, end - begin);
    };
    return CUninterruptedWrite::SRange{static_cast<std::int64_t>(begin), view(now), view(old)};
}

std::string_view View(const CId3v1Tag::Block& block) {
    return {reinterpret_cast<const char*>(block.data()), block.size()};
}

// The file anew: the new ID3v2 tag, the audio as it lies, the ID3v1 tag if any.
STagWriteResult Rewrite(const CSafePath& where, const CFile& file,
                        const std::vector<std::uint8_t>& tag, std::int64_t audioStart,
                        std::int64_t audioEnd, const std::optional<CId3v1Tag::Block>& block) {
    CReplacementFile replacement(where.FolderFd(), where.Name(), file.Descriptor());
    errno = 0;
    if (!replacement.Create() || !replacement.Write(tag.data(), tag.size()) ||
        !replacement.CopyFromTarget(audioStart, audioEnd - audioStart) ||
        (block && !replacement.Write(block->data(), block->size())) || !replacement.Commit())
        return Failed(errno);
    return {};
}

} // namespace

bool CTagWriter::NeedsId3v2(const CMp3File& track, const STagEdit& edit) {
    if (edit.albumArtist && !IsBlank(*edit.albumArtist) &&
        !CUtf8::SameShown(track.AlbumArtist(), *edit.albumArtist))
        return true;
    if (edit.disc && *edit.disc != 0 && *edit.disc != track.Disc())
        return true;
    if (!edit.track || *edit.track == 0 || *edit.track == track.Track())
        return false;
    const auto written = CId3v1Tag::View(Id3v1Block(track, edit, false, false));
    return !written || written->track != *edit.track;
}

bool CTagWriter::HasId3v2(const std::string& path) {
    CFile file;
    std::array<std::uint8_t, CId3v2Tag::kHeaderSize> head{};
    return file.Open(path, CFile::EMode::Read) == CFile::EOpenResult::Opened &&
           file.ReadAt(0, head.data(), head.size()) == static_cast<int>(head.size()) &&
           TagLength(head) != 0 && head[3] >= 2 && head[3] <= 4;
}

namespace {

// The file's ID3v2 tag, read whole and taken apart, with the edit applied. The rewrite holds
// views of the tag and the layout: the whole stays where it was made.
struct SId3v2 {
    std::vector<std::uint8_t> tag;
    CId3v2Layout layout;
    std::optional<CId3v2Rewrite> rewrite;
    bool changed = false;
};

// A tag of the most widely read version for a file that has none, with the edit in it: the
// values its ID3v1 tag cannot hold, or a cover alone, the texts staying in the ID3v1 tag.
STagWriteResult NewId3v2(const STagEdit& edit, SId3v2& v2) {
    constexpr int kNewVersion = 3;
    if (edit.cover && !edit.cover->empty() && !CId3v2Picture::Writable(*edit.cover, kNewVersion))
        return Refused(EReason::Picture);
    v2.tag = CId3v2Rewrite::EmptyTag(kNewVersion);
    if (v2.layout.Parse(v2.tag) != EReason::None)
        return Refused(EReason::Unreadable);
    v2.rewrite.emplace(v2.tag, v2.layout);
    v2.changed = v2.rewrite->Apply(edit);
    return {};
}

// Reads the tag that `head` begins; a result other than written stops the write.
STagWriteResult ReadId3v2(const CFile& file,
                          const std::array<std::uint8_t, CId3v2Tag::kHeaderSize>& head,
                          const STagEdit& edit, SId3v2& v2) {
    const std::size_t length = TagLength(head);
    if (length == 0 || static_cast<std::int64_t>(length) > file.Size())
        return Refused(EReason::Unreadable);
    v2.tag.resize(length);
    errno = 0;
    if (file.ReadAt(0, v2.tag.data(), length) != static_cast<std::ptrdiff_t>(length))
        return Failed(errno);
    if (const EReason reason = v2.layout.Parse(v2.tag); reason != EReason::None)
        return Refused(reason);
    if (edit.cover && !edit.cover->empty() &&
        !CId3v2Picture::Writable(*edit.cover, v2.layout.Version()))
        return Refused(EReason::Picture);
    v2.rewrite.emplace(v2.tag, v2.layout);
    v2.changed = v2.rewrite->Apply(edit);
    return {};
}

// The ID3v1 tag first: an append is what a full disk refuses. Nothing that changes nothing.
STagWriteResult WriteInPlace(const CFile& file, const std::optional<CId3v1Tag::Block>& block,
                             const std::optional<CId3v1Tag::Block>& old, std::int64_t at,
                             const std::vector<std::uint8_t>& tag,
                             const std::vector<std::uint8_t>& newTag) {
    std::vector<CUninterruptedWrite::SRange> ranges;
    if (block && (!old || *block != *old))
        ranges.push_back({at, View(*block), old ? View(*old) : std::string_view()});
    if (!newTag.empty()) {
        if (const auto range = Difference(tag, newTag))
            ranges.push_back(*range);
    }
    if (ranges.empty())
        return {};
    const int failure = CUninterruptedWrite::Write(file.Descriptor(), file.Size(), ranges);
    return failure == 0 ? STagWriteResult{} : Failed(failure);
}

// The ID3v2 tag to write: the file's with the edit applied, or a new one (`gains`: for values
// the ID3v1 tag cannot hold; else for a cover alone). With the setting off, the file's tag takes
// the cover alone.
STagWriteResult PrepareId3v2(const CFile& file,
                             const std::array<std::uint8_t, CId3v2Tag::kHeaderSize>& head,
                             bool hasV2, bool gains, const STagEdit& edit, bool id3v2, SId3v2& v2) {
    if (hasV2) {
        std::optional<STagEdit> coverOnly;
        if (!id3v2)
            coverOnly.emplace().cover = edit.cover;
        return ReadId3v2(file, head, coverOnly ? *coverOnly : edit, v2);
    }
    if (gains)
        return NewId3v2(edit, v2);
    if (edit.cover && !edit.cover->empty()) {
        STagEdit coverOnly;
        coverOnly.cover = edit.cover;
        return NewId3v2(coverOnly, v2);
    }
    return {};
}

} // namespace

// Every link on the way to the file is looked at before it is followed, and only one of the
// user's or root's is: one that another user put in a shared collection may name any file of
// the user's. The file is then opened by its name in the folder found, never through a link, and
// is what the checks looked at: a name turned into a link meanwhile is looked up again.
STagWriteResult CTagWriter::Open(const std::string& path, CSafePath& where, CFile& file) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        errno = 0;
        const CSafePath::EResult found = where.Find(AT_FDCWD, path);
        if (found == CSafePath::EResult::ForeignLink)
            return Refused(EReason::ForeignLink);
        if (found == CSafePath::EResult::Failed)
            return {EStatus::CannotOpen, errno != 0 ? errno : ENOENT, EReason::None};
        if (afterChecks)
            afterChecks(path);
        errno = 0;
        const CFile::EOpenResult opened =
            file.OpenEntry(where.FolderFd(), where.Name(), CFile::EMode::ReadWrite);
        if (opened == CFile::EOpenResult::Opened)
            return {};
        if (opened == CFile::EOpenResult::NotRegular)
            return Refused(EReason::NotRegular);
        if (errno != ELOOP)
            return {EStatus::CannotOpen, errno != 0 ? errno : EACCES, EReason::None};
    }
    return {EStatus::CannotOpen, ELOOP, EReason::None};
}

// Every check is made and every byte prepared before the first byte changes.
STagWriteResult CTagWriter::Write(const CMp3File& track, const STagEdit& edit) const {
    CSafePath where;
    CFile file;
    if (const STagWriteResult opened = Open(track.FullPath(), where, file); !opened.Written())
        return opened;
    const std::int64_t size = file.Size();

    // A tagged file that the edit would not change is left as it is, bytes and time.
    const bool texts = Changes(track, edit);
    const bool changes = texts || edit.cover;
    std::array<std::uint8_t, CId3v2Tag::kHeaderSize> head{};
    const bool hasV2 = (id3v2_ || edit.cover) &&
                       file.ReadAt(0, head.data(), head.size()) == static_cast<int>(head.size()) &&
                       StartsWithTag(head);
    if (hasV2 && !changes)
        return {};
    SId3v2 v2;
    // A file without an ID3v2 tag gains one only for a value its ID3v1 tag cannot hold.
    const bool gains = id3v2_ && !hasV2 && NeedsId3v2(track, edit);
    if (const STagWriteResult read = PrepareId3v2(file, head, hasV2, gains, edit, id3v2_, v2);
        !read.Written())
        return read;
    const auto audioStart = hasV2 ? static_cast<std::int64_t>(v2.tag.size()) : 0;

    CId3v1Tag::Block old{};
    const std::int64_t oldAt = size - static_cast<std::int64_t>(old.size());
    errno = 0;
    if (oldAt >= audioStart &&
        file.ReadAt(oldAt, old.data(), old.size()) != static_cast<int>(old.size()))
        return Failed(errno);
    const bool hasOld = oldAt >= audioStart && CId3v1Tag::HasMarker(old);
    if (hasOld && !changes)
        return {};
    const std::int64_t audioEnd = hasOld ? oldAt : size;
    const auto oldBlock = hasOld ? std::optional(old) : std::nullopt;
    // A cover alone leaves the ID3v1 tag as it is.
    const bool inUse = id3v2_ && hasV2;
    const auto block =
        texts || !edit.cover ? NewId3v1(track, edit, inUse || gains, inUse, oldBlock) : oldBlock;
    if (!v2.changed)
        return WriteInPlace(file, block, oldBlock, audioEnd, {}, {});

    const std::size_t minimal = v2.rewrite->MinimalSize();
    const auto room = static_cast<std::size_t>(audioStart);
    if (v2.layout.HasFooter() ? minimal == room : minimal <= room)
        return WriteInPlace(file, block, oldBlock, audioEnd, v2.tag, v2.rewrite->Render(room));
    if (file.Links() > 1)
        return Refused(EReason::HardLinks);
    const std::int64_t padding = std::min(1024 + size / 1000, kMaxPadding);
    return Rewrite(where, file, v2.rewrite->Render(minimal + static_cast<std::size_t>(padding)),
                   audioStart, audioEnd, block);
}
