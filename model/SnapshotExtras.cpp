#include "model/SnapshotExtras.h"

#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"
#include "model/FolderImages.h"
#include "model/Id3v2Tag.h"
#include "model/Mp3File.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

using ESection = CSnapshotExtras::ESection;
using Tracks = std::span<CMp3File* const>;

void WriteUInt16(CArchiveWriter& archive, std::uint16_t value) {
    archive.WriteByte(static_cast<std::uint8_t>(value));
    archive.WriteByte(static_cast<std::uint8_t>(value >> 8));
}

void WriteCount(CArchiveWriter& archive, std::size_t count) {
    archive.WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(count)));
}

void WriteUInt64(CArchiveWriter& archive, std::uint64_t value) {
    archive.WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    archive.WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(value >> 32)));
}

// A section's body goes straight into the archive, after its length: each writer below counts
// the bytes of its body first, so that a body of a million entries is never built apart and
// copied again.
template <typename Parts>
void WriteSection(CArchiveWriter& archive, ESection id, std::size_t size, const Parts& parts) {
    archive.WriteByte(static_cast<std::uint8_t>(id));
    archive.WriteLength(size);
    parts();
}

std::size_t StringSize(std::string_view text) {
    return CArchiveWriter::StringSize(text.size());
}

bool ReadUInt64(CArchiveReader& body, std::uint64_t& value) {
    std::int32_t low = 0;
    std::int32_t high = 0;
    if (!body.ReadInt32(low) || !body.ReadInt32(high))
        return false;
    value = static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32 |
            static_cast<std::uint32_t>(low);
    return true;
}

bool ReadCount(CArchiveReader& body, std::size_t& count) {
    std::int32_t value = 0;
    if (!body.ReadInt32(value))
        return false;
    count = static_cast<std::uint32_t>(value);
    return true;
}

// What the sections that are not the tracks' own hold, gathered before anything is handed on.
// The tracks' sections are not gathered: they are checked in a first pass over their bytes and
// applied in a second, so that their values never lie in memory but in the tracks.
struct SExtras {
    CSnapshotExtras::SWalk walk;
    std::string folder;
    CSnapshotExtras::SCovers covers;
};

// The readers of the tracks' sections check their body whole in a pass with `apply` false,
// and give each track its values in a pass with `apply` true over the same bytes. The second
// pass checks as much again: bytes that changed in between break the block there.

// One number of two bytes a record.
bool ReadNumbers(CArchiveReader& body, Tracks tracks, bool apply,
                 void (CMp3File::*set)(std::uint16_t)) {
    std::size_t count = 0;
    if (!ReadCount(body, count) || count != tracks.size() || body.Remaining() != count * 2)
        return false;
    for (CMp3File* track : tracks) {
        std::uint8_t low = 0;
        std::uint8_t high = 0;
        if (!body.ReadByte(low) || !body.ReadByte(high))
            return false;
        if (apply)
            (track->*set)(static_cast<std::uint16_t>(low | high << 8));
    }
    return true;
}

// A record index that rises from the one before (`last`, or none yet when `first`).
bool ReadIndex(CArchiveReader& body, std::size_t records, bool first, std::size_t last,
               std::size_t& index) {
    return ReadCount(body, index) && index < records && (first || index > last);
}

bool ReadCompilations(CArchiveReader& body, Tracks tracks, bool apply) {
    std::size_t count = 0;
    if (!ReadCount(body, count) || count > tracks.size() || body.Remaining() != count * 4)
        return false;
    std::size_t index = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!ReadIndex(body, tracks.size(), i == 0, index, index))
            return false;
        if (apply)
            tracks[index]->SetCompilation(true);
    }
    return true;
}

// A list of names, each ended by a NUL, none of them empty.
bool IsNameList(std::string_view list) {
    return list.ends_with('\0') && !list.starts_with('\0') &&
           list.find(std::string_view("\0\0", 2)) == std::string_view::npos;
}

// The tracks given rare texts last, each with other texts, the latest first: an album whose
// tracks now and then list a guest among the artists goes back to the texts of the tracks
// before, and takes their block again rather than one of its own.
class CRecentRare {
public:
    // The track to start from: one given the same texts, else the latest.
    const CMp3File* From(const CRareFields::Values& texts) {
        const auto same = std::find_if(recent_.begin(), recent_.end(), [&](const CMp3File* track) {
            return track != nullptr && Texts(*track) == texts;
        });
        const bool found = same != recent_.end();
        // The one found moves to the front; else the oldest makes room there.
        const auto first = found ? same : recent_.end() - 1;
        std::rotate(recent_.begin(), first, first + 1);
        return found ? recent_[0] : recent_[1];
    }
    void Given(const CMp3File& track) { recent_[0] = &track; }

private:
    static CRareFields::Values Texts(const CMp3File& track) {
        return {track.AlbumArtist(), track.ArtistSort(), track.AlbumArtistSort(), track.AlbumSort(),
                track.ArtistList()};
    }

    std::array<const CMp3File*, 4> recent_{};
};

// Gives a track the rare texts of its entry. It starts from the block of `from`, which the
// tracks of an album share: a slot set to the value it holds keeps the block, so an album's
// tracks are given theirs without a block made for each.
void ApplyRare(CMp3File& track, const CMp3File* from, const CRareFields::Values& texts,
               std::vector<std::string_view>& names) {
    const auto text = [&texts](CRareFields::ESlot slot) {
        return texts[static_cast<std::size_t>(slot)];
    };
    const std::uint16_t disc = track.Disc();
    if (from != nullptr)
        track.StartFromRare(*from);
    track.SetAlbumArtist(text(CRareFields::ESlot::AlbumArtist));
    for (const auto slot : {CRareFields::ESlot::ArtistSort, CRareFields::ESlot::AlbumArtistSort,
                            CRareFields::ESlot::AlbumSort})
        track.SetSortName(slot, text(slot));
    names.clear();
    std::string_view list = text(CRareFields::ESlot::Artists);
    for (std::size_t end = list.find('\0'); end != std::string_view::npos; end = list.find('\0')) {
        names.push_back(list.substr(0, end));
        list.remove_prefix(end + 1);
    }
    track.SetArtists(names);
    track.SetDisc(disc);
}

// Each entry names one slot or more, and every text it holds has a byte or more. Its texts are
// views into the archive's bytes, let go after each entry.
bool ReadRareTexts(CArchiveReader& body, Tracks tracks, bool apply) {
    constexpr std::uint8_t kKnown = (1U << CRareFields::kCount) - 1;
    constexpr auto kArtists = static_cast<std::size_t>(CRareFields::ESlot::Artists);
    std::size_t count = 0;
    if (!ReadCount(body, count) || count > tracks.size() || count > body.Remaining())
        return false;
    std::size_t index = 0;
    CRecentRare recent;
    std::vector<std::string_view> names;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t slots = 0;
        if (!ReadIndex(body, tracks.size(), i == 0, index, index) || !body.ReadByte(slots) ||
            slots == 0 || (slots & ~kKnown) != 0)
            return false;
        CRareFields::Values texts;
        for (std::size_t slot = 0; slot < CRareFields::kCount; ++slot) {
            if ((slots & 1U << slot) == 0)
                continue;
            std::string_view& text = texts[slot];
            if (!body.ReadString(text) || text.empty() || (slot == kArtists && !IsNameList(text)))
                return false;
        }
        if (apply) {
            ApplyRare(*tracks[index], recent.From(texts), texts, names);
            recent.Given(*tracks[index]);
        }
        body.Release();
    }
    return body.Remaining() == 0;
}

// Indexes rise, so no track is named twice; every name has a byte or more.
bool ReadGenreNames(CArchiveReader& body, Tracks tracks, bool apply) {
    std::size_t count = 0;
    if (!ReadCount(body, count) || count > tracks.size())
        return false;
    std::size_t index = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::string_view name;
        if (!ReadIndex(body, tracks.size(), i == 0, index, index) || !body.ReadString(name) ||
            name.empty())
            return false;
        if (apply)
            tracks[index]->SetGenreText(name);
        body.Release();
    }
    return body.Remaining() == 0;
}

bool ReadTime(CArchiveReader& body, std::int64_t& ns) {
    std::uint64_t bits = 0;
    if (!ReadUInt64(body, bits) || body.Remaining() != 0)
        return false;
    ns = static_cast<std::int64_t>(bits);
    return ns > 0;
}

// The body's length must be exactly what its counts announce before anything is made of it:
// a hostile count cannot make us allocate more than the bytes that came.
bool ReadFolderIds(CArchiveReader& body, SExtras& extras) {
    std::size_t count = 0;
    std::size_t devices = 0;
    if (!ReadCount(body, count) || !ReadCount(body, devices) || devices == 0 || devices > count)
        return false;
    const std::size_t places = devices > 1 ? count : 0;
    if (body.Remaining() != devices * 8 + count * 8 + places * 4)
        return false;
    CSnapshotExtras::SFolderIds& ids = extras.walk.folderIds;
    ids.devices.resize(devices);
    ids.inodes.resize(count);
    ids.deviceOf.resize(places);
    for (std::uint64_t& device : ids.devices)
        if (!ReadUInt64(body, device))
            return false;
    for (std::uint64_t& inode : ids.inodes)
        if (!ReadUInt64(body, inode))
            return false;
    for (std::uint32_t& place : ids.deviceOf) {
        std::size_t value = 0;
        if (!ReadCount(body, value) || value >= devices)
            return false;
        place = static_cast<std::uint32_t>(value);
    }
    return true;
}

// A folder below the snapshot's own, named down from it: no NUL, no empty, "." or ".." step
// that would lead elsewhere.
bool IsFolderBelow(std::string_view folder) {
    if (folder.empty())
        return true;
    if (folder.find('\0') != std::string_view::npos)
        return false;
    for (std::size_t start = 0; start <= folder.size();) {
        const std::size_t end = std::min(folder.find('/', start), folder.size());
        const std::string_view step = folder.substr(start, end - start);
        if (step.empty() || step == "." || step == "..")
            return false;
        start = end + 1;
    }
    return true;
}

// The count cannot announce more names than bytes follow.
bool ReadBareFolders(CArchiveReader& body, SExtras& extras) {
    std::size_t count = 0;
    if (!ReadCount(body, count) || count > body.Remaining())
        return false;
    extras.walk.bareFolders.assign(count, {});
    for (std::string& folder : extras.walk.bareFolders)
        if (!body.ReadString(folder) || !IsFolderBelow(folder))
            return false;
    return body.Remaining() == 0;
}

// A path from the root; a NUL would end it early for the system.
bool ReadFolder(CArchiveReader& body, SExtras& extras) {
    return body.ReadString(extras.folder) && body.Remaining() == 0 &&
           extras.folder.starts_with('/') && extras.folder.find('\0') == std::string::npos;
}

// Each note within what a tag may hold, and past the tag's header: the file it points into is
// checked again when the cover is read.
bool ReadPictures(CArchiveReader& body, std::size_t records, SExtras& extras) {
    constexpr std::size_t kEntry = 4 + 1 + 1 + 4 + 4;
    std::size_t count = 0;
    if (!ReadCount(body, count) || count > records || body.Remaining() != count * kEntry)
        return false;
    auto& pictures = extras.covers.pictures;
    pictures.assign(count, {});
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t kind = 0;
        std::uint8_t image = 0;
        std::size_t offset = 0;
        std::size_t length = 0;
        if (!ReadIndex(body, records, i == 0, i == 0 ? 0 : pictures[i - 1].first,
                       pictures[i].first) ||
            !body.ReadByte(kind) || !body.ReadByte(image) || !ReadCount(body, offset) ||
            !ReadCount(body, length))
            return false;
        const auto note = CPictureNote::Make(static_cast<CPictureNote::EKind>(kind), offset, length,
                                             static_cast<SCoverSource::EImage>(image));
        if (kind > 2 || image > 3 || !note || offset < CId3v2Tag::kHeaderSize)
            return false;
        pictures[i].second = note;
    }
    return true;
}

// Each name one the walk would have chosen: no path, nothing but a cover's name.
bool ReadFolderImages(CArchiveReader& body, SExtras& extras) {
    std::size_t count = 0;
    if (!ReadCount(body, count) || count > body.Remaining())
        return false;
    auto& images = extras.covers.images;
    images.assign(count, {});
    for (auto& [folder, name] : images)
        if (!body.ReadString(folder) || !IsFolderBelow(folder) || !body.ReadString(name) ||
            name.find_first_of(std::string_view("/\0", 2)) != std::string::npos ||
            CFolderImages::Rank(name) == 0)
            return false;
    return body.Remaining() == 0;
}

// Which of the rare texts a track has, a bit per slot; the album artist by its own text.
std::uint8_t RareSlots(const CMp3File& track,
                       std::array<std::string_view, CRareFields::kCount>& texts) {
    texts = {track.AlbumArtist(), track.ArtistSort(), track.AlbumArtistSort(), track.AlbumSort(),
             track.ArtistList()};
    std::uint8_t slots = 0;
    for (std::size_t slot = 0; slot < texts.size(); ++slot)
        if (!texts[slot].empty())
            slots |= static_cast<std::uint8_t>(1U << slot);
    return slots;
}

// Whether a track has a disc, is marked a compilation, or has a rare text.
bool HasRare(const TrackArray& tracks) {
    return std::any_of(tracks.begin(), tracks.end(), [](const CMp3File* track) {
        return track->Disc() != 0 || track->Compilation() || track->HasAlbumArtist() ||
               !track->ArtistSort().empty() || !track->AlbumArtistSort().empty() ||
               !track->AlbumSort().empty() || !track->ArtistList().empty();
    });
}

// One number of two bytes a record.
void WriteNumbers(CArchiveWriter& archive, ESection id, const TrackArray& tracks,
                  std::uint16_t (CMp3File::*get)() const) {
    WriteSection(archive, id, 4 + tracks.size() * 2, [&] {
        WriteCount(archive, tracks.size());
        for (const CMp3File* track : tracks)
            WriteUInt16(archive, (track->*get)());
    });
}

void WriteGenreNames(CArchiveWriter& archive, const TrackArray& tracks, std::size_t named) {
    std::size_t size = 4;
    for (const CMp3File* track : tracks)
        if (!track->GenreText().empty())
            size += 4 + StringSize(track->GenreText());
    WriteSection(archive, ESection::GenreNames, size, [&] {
        WriteCount(archive, named);
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            if (tracks[i]->GenreText().empty())
                continue;
            WriteCount(archive, i);
            archive.WriteString(tracks[i]->GenreText());
        }
    });
}

void WriteCompilations(CArchiveWriter& archive, const TrackArray& tracks) {
    const auto count = static_cast<std::size_t>(std::count_if(
        tracks.begin(), tracks.end(), [](const CMp3File* track) { return track->Compilation(); }));
    if (count == 0)
        return;
    WriteSection(archive, ESection::Compilations, 4 + count * 4, [&] {
        WriteCount(archive, count);
        for (std::size_t i = 0; i < tracks.size(); ++i)
            if (tracks[i]->Compilation())
                WriteCount(archive, i);
    });
}

void WriteRareTexts(CArchiveWriter& archive, const TrackArray& tracks) {
    std::array<std::string_view, CRareFields::kCount> texts;
    std::size_t count = 0;
    std::size_t size = 4;
    for (const CMp3File* track : tracks) {
        if (RareSlots(*track, texts) == 0)
            continue;
        ++count;
        size += 4 + 1;
        for (const std::string_view text : texts)
            size += text.empty() ? 0 : StringSize(text);
    }
    if (count == 0)
        return;
    WriteSection(archive, ESection::RareTexts, size, [&] {
        WriteCount(archive, count);
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            const std::uint8_t slots = RareSlots(*tracks[i], texts);
            if (slots == 0)
                continue;
            WriteCount(archive, i);
            archive.WriteByte(slots);
            for (const std::string_view text : texts)
                if (!text.empty())
                    archive.WriteString(text);
        }
    });
}

bool HasCovers(const TrackArray& tracks, const CSnapshotExtras::SCovers* covers) {
    return covers != nullptr &&
           (!covers->images.empty() ||
            (covers->pictureOf && std::any_of(tracks.begin(), tracks.end(), [&](auto* track) {
                 return static_cast<bool>(covers->pictureOf(*track));
             })));
}

void WriteCovers(CArchiveWriter& archive, const TrackArray& tracks,
                 const CSnapshotExtras::SCovers& covers) {
    constexpr std::size_t kEntry = 4 + 1 + 1 + 4 + 4;
    std::size_t count = 0;
    if (covers.pictureOf)
        for (const CMp3File* track : tracks)
            count += covers.pictureOf(*track) ? 1 : 0;
    if (count != 0) {
        WriteSection(archive, ESection::Pictures, 4 + count * kEntry, [&] {
            WriteCount(archive, count);
            for (std::size_t i = 0; i < tracks.size(); ++i) {
                const CPictureNote note = covers.pictureOf(*tracks[i]);
                if (!note)
                    continue;
                WriteCount(archive, i);
                archive.WriteByte(static_cast<std::uint8_t>(note.Kind()));
                archive.WriteByte(static_cast<std::uint8_t>(note.Image()));
                WriteCount(archive, note.Offset());
                WriteCount(archive, note.Length());
            }
        });
    }
    if (covers.images.empty())
        return;
    std::size_t size = 4;
    for (const auto& [folder, name] : covers.images)
        size += StringSize(folder) + StringSize(name);
    WriteSection(archive, ESection::FolderImages, size, [&] {
        WriteCount(archive, covers.images.size());
        for (const auto& [folder, name] : covers.images) {
            archive.WriteString(folder);
            archive.WriteString(name);
        }
    });
}

void WriteWalk(CArchiveWriter& archive, const CSnapshotExtras::SWalk& walk) {
    WriteSection(archive, ESection::WalkStart, 8,
                 [&] { WriteUInt64(archive, static_cast<std::uint64_t>(walk.startNs)); });
    std::size_t size = 4;
    for (const std::string& folder : walk.bareFolders)
        size += StringSize(folder);
    WriteSection(archive, ESection::BareFolders, size, [&] {
        WriteCount(archive, walk.bareFolders.size());
        for (const std::string& folder : walk.bareFolders)
            archive.WriteString(folder);
    });
    if (walk.filesStartNs > 0 && walk.filesStartNs != walk.startNs)
        WriteSection(archive, ESection::FilesStart, 8,
                     [&] { WriteUInt64(archive, static_cast<std::uint64_t>(walk.filesStartNs)); });
    const CSnapshotExtras::SFolderIds& ids = walk.folderIds;
    if (ids.Size() == 0)
        return;
    const std::size_t idsSize =
        8 + ids.devices.size() * 8 + ids.Size() * 8 + ids.deviceOf.size() * 4;
    WriteSection(archive, ESection::FolderIds, idsSize, [&] {
        WriteCount(archive, ids.Size());
        WriteCount(archive, ids.devices.size());
        for (const std::uint64_t device : ids.devices)
            WriteUInt64(archive, device);
        for (const std::uint64_t inode : ids.inodes)
            WriteUInt64(archive, inode);
        for (const std::uint32_t place : ids.deviceOf)
            WriteCount(archive, place);
    });
}
} // namespace

void CSnapshotExtras::Write(CArchiveWriter& archive, const TrackArray& tracks, const SWalk* walk,
                            std::string_view folder, const SCovers* covers) {
    const bool numbers = std::any_of(tracks.begin(), tracks.end(),
                                     [](const CMp3File* track) { return track->Track() != 0; });
    std::size_t named = 0;
    for (const CMp3File* track : tracks)
        named += track->GenreText().empty() ? 0 : 1;
    const bool rare = HasRare(tracks);
    const bool pictures = HasCovers(tracks, covers);
    if (!numbers && named == 0 && walk == nullptr && folder.empty() && !rare && !pictures)
        return;
    archive.WriteString(kMagic);
    if (numbers)
        WriteNumbers(archive, ESection::TrackNumbers, tracks, &CMp3File::Track);
    if (named != 0)
        WriteGenreNames(archive, tracks, named);
    if (walk != nullptr)
        WriteWalk(archive, *walk);
    if (!folder.empty())
        WriteSection(archive, ESection::Folder, StringSize(folder),
                     [&] { archive.WriteString(folder); });
    if (rare) {
        if (std::any_of(tracks.begin(), tracks.end(),
                        [](const CMp3File* track) { return track->Disc() != 0; }))
            WriteNumbers(archive, ESection::Discs, tracks, &CMp3File::Disc);
        WriteCompilations(archive, tracks);
        WriteRareTexts(archive, tracks);
    }
    if (pictures)
        WriteCovers(archive, tracks, *covers);
}

// A second device makes every folder name its own.
void CSnapshotExtras::SFolderIds::Add(std::uint64_t device, std::uint64_t inode) {
    const auto known = std::find(devices.begin(), devices.end(), device);
    const auto place = static_cast<std::uint32_t>(known - devices.begin());
    if (known == devices.end())
        devices.push_back(device);
    if (place != 0 && deviceOf.empty())
        deviceOf.assign(inodes.size(), 0);
    if (!deviceOf.empty())
        deviceOf.push_back(place);
    inodes.push_back(inode);
}

// Bytes after the records that do not begin with our magic are someone else's: they are left
// alone, as a reader of the records alone leaves them. The block is checked whole before any
// track is given anything; the tracks' sections are then read again from the archive's bytes
// rather than kept, so that a million tracks' texts are never held twice.
CSnapshotExtras::EResult CSnapshotExtras::Read(CArchiveReader& archive,
                                               std::span<CMp3File* const> tracks, SWalk* walk,
                                               std::string* folder, SCovers* covers) {
    if (archive.Remaining() == 0)
        return EResult::Absent;
    std::string magic;
    if (!archive.ReadString(magic) || magic != kMagic)
        return EResult::Absent;
    // Where the tracks' sections lie, by id; the last of an id counts, as each replaces what
    // one before gave.
    struct SPlace {
        std::int64_t offset = 0;
        std::size_t length = 0;
        bool found = false;
    };
    std::array<SPlace, static_cast<std::size_t>(ESection::FolderImages) + 1> places{};
    const auto readTracks = [tracks](ESection id, CArchiveReader& body, bool apply) {
        switch (id) {
        case ESection::TrackNumbers:
            return ReadNumbers(body, tracks, apply, &CMp3File::SetTrack);
        case ESection::Discs:
            return ReadNumbers(body, tracks, apply, &CMp3File::SetDisc);
        case ESection::Compilations:
            return ReadCompilations(body, tracks, apply);
        case ESection::RareTexts:
            return ReadRareTexts(body, tracks, apply);
        case ESection::GenreNames:
            return ReadGenreNames(body, tracks, apply);
        default:
            return true;
        }
    };
    SExtras extras;
    while (archive.Remaining() > 0) {
        std::uint8_t id = 0;
        SPlace place{0, 0, true};
        if (!archive.ReadByte(id) || !archive.SkipString(place.offset, place.length))
            return EResult::Broken;
        CArchiveReader body = archive.Part(place.offset, place.length);
        bool read = true;
        switch (static_cast<ESection>(id)) {
        case ESection::TrackNumbers:
        case ESection::Discs:
        case ESection::Compilations:
        case ESection::RareTexts:
        case ESection::GenreNames:
            read = readTracks(static_cast<ESection>(id), body, false);
            places[id] = place;
            break;
        case ESection::WalkStart:
            read = ReadTime(body, extras.walk.startNs);
            break;
        case ESection::FilesStart:
            read = ReadTime(body, extras.walk.filesStartNs);
            break;
        case ESection::BareFolders:
            read = ReadBareFolders(body, extras);
            break;
        case ESection::Folder:
            read = ReadFolder(body, extras);
            break;
        case ESection::FolderIds:
            read = ReadFolderIds(body, extras);
            break;
        case ESection::Pictures:
            read = ReadPictures(body, tracks.size(), extras);
            break;
        case ESection::FolderImages:
            read = ReadFolderImages(body, extras);
            break;
        default: // a later program's section
            break;
        }
        if (!read)
            return EResult::Broken;
    }
    // In the order they are written, the discs before the rare texts that keep them.
    for (const ESection id : {ESection::TrackNumbers, ESection::GenreNames, ESection::Discs,
                              ESection::Compilations, ESection::RareTexts}) {
        const SPlace& place = places[static_cast<std::size_t>(id)];
        if (!place.found)
            continue;
        CArchiveReader body = archive.Part(place.offset, place.length);
        if (!readTracks(id, body, true))
            return EResult::Broken;
    }
    if (walk != nullptr)
        *walk = std::move(extras.walk);
    if (folder != nullptr)
        *folder = std::move(extras.folder);
    if (covers != nullptr) {
        covers->pictures = std::move(extras.covers.pictures);
        covers->images = std::move(extras.covers.images);
    }
    return EResult::Read;
}
