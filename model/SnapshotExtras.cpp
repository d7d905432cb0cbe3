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

void WriteUInt16(CArchiveWriter& body, std::uint16_t value) {
    body.WriteByte(static_cast<std::uint8_t>(value));
    body.WriteByte(static_cast<std::uint8_t>(value >> 8));
}

void WriteCount(CArchiveWriter& body, std::size_t count) {
    body.WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(count)));
}

void WriteSection(CArchiveWriter& archive, ESection id, const CArchiveWriter& body) {
    archive.WriteByte(static_cast<std::uint8_t>(id));
    archive.WriteString(body.Bytes());
}

void WriteUInt64(CArchiveWriter& body, std::uint64_t value) {
    body.WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    body.WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(value >> 32)));
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

// What the known sections hold, gathered before any track is given it.
struct SExtras {
    std::vector<std::uint16_t> trackNumbers; // one per record, or none
    std::vector<std::pair<std::size_t, std::string>> genreNames;
    CSnapshotExtras::SWalk walk;
    std::string folder;
    std::vector<std::uint16_t> discs; // one per record, or none
    std::vector<std::size_t> compilations;
    struct SRare {
        std::size_t index = 0;
        std::uint8_t slots = 0;
        std::array<std::string, CRareFields::kCount> texts;
    };
    std::vector<SRare> rare;
    CSnapshotExtras::SCovers covers;
};

// One number of two bytes a record.
bool ReadNumbers(CArchiveReader& body, std::size_t records, std::vector<std::uint16_t>& numbers) {
    std::size_t count = 0;
    if (!ReadCount(body, count) || count != records || body.Remaining() != count * 2)
        return false;
    numbers.resize(count);
    for (std::uint16_t& number : numbers) {
        std::uint8_t low = 0;
        std::uint8_t high = 0;
        if (!body.ReadByte(low) || !body.ReadByte(high))
            return false;
        number = static_cast<std::uint16_t>(low | high << 8);
    }
    return true;
}

// A record index that rises from the one before (`last`, or none yet when `first`).
bool ReadIndex(CArchiveReader& body, std::size_t records, bool first, std::size_t last,
               std::size_t& index) {
    return ReadCount(body, index) && index < records && (first || index > last);
}

bool ReadCompilations(CArchiveReader& body, std::size_t records, SExtras& extras) {
    std::size_t count = 0;
    if (!ReadCount(body, count) || count > records || body.Remaining() != count * 4)
        return false;
    extras.compilations.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i)
        if (!ReadIndex(body, records, i == 0, i == 0 ? 0 : extras.compilations[i - 1],
                       extras.compilations[i]))
            return false;
    return true;
}

// A list of names, each ended by a NUL, none of them empty.
bool IsNameList(std::string_view list) {
    return list.ends_with('\0') && !list.starts_with('\0') &&
           list.find(std::string_view("\0\0", 2)) == std::string_view::npos;
}

// Each entry names one slot or more, and every text it holds has a byte or more.
bool ReadRareTexts(CArchiveReader& body, std::size_t records, SExtras& extras) {
    constexpr std::uint8_t kKnown = (1U << CRareFields::kCount) - 1;
    constexpr auto kArtists = static_cast<std::size_t>(CRareFields::ESlot::Artists);
    std::size_t count = 0;
    if (!ReadCount(body, count) || count > records || count > body.Remaining())
        return false;
    extras.rare.assign(count, {});
    for (std::size_t i = 0; i < count; ++i) {
        SExtras::SRare& rare = extras.rare[i];
        if (!ReadIndex(body, records, i == 0, i == 0 ? 0 : extras.rare[i - 1].index, rare.index) ||
            !body.ReadByte(rare.slots) || rare.slots == 0 || (rare.slots & ~kKnown) != 0)
            return false;
        for (std::size_t slot = 0; slot < CRareFields::kCount; ++slot) {
            if ((rare.slots & 1U << slot) == 0)
                continue;
            std::string& text = rare.texts[slot];
            if (!body.ReadString(text) || text.empty() || (slot == kArtists && !IsNameList(text)))
                return false;
        }
    }
    return body.Remaining() == 0;
}

// Indexes rise, so no track is named twice; every name has a byte or more.
bool ReadGenreNames(CArchiveReader& body, std::size_t records, SExtras& extras) {
    std::size_t count = 0;
    if (!ReadCount(body, count) || count > records)
        return false;
    extras.genreNames.clear();
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t index = 0;
        std::string name;
        if (!ReadCount(body, index) || index >= records || !body.ReadString(name) || name.empty())
            return false;
        if (!extras.genreNames.empty() && index <= extras.genreNames.back().first)
            return false;
        extras.genreNames.emplace_back(index, std::move(name));
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

void ApplyRare(const SExtras& extras, std::span<CMp3File* const> tracks) {
    for (std::size_t i = 0; i < extras.discs.size(); ++i)
        tracks[i]->SetDisc(extras.discs[i]);
    for (const std::size_t index : extras.compilations)
        tracks[index]->SetCompilation(true);
    const CMp3File* last = nullptr;
    for (const SExtras::SRare& rare : extras.rare) {
        CMp3File& track = *tracks[rare.index];
        const auto text = [&rare](CRareFields::ESlot slot) -> const std::string& {
            return rare.texts[static_cast<std::size_t>(slot)];
        };
        track.SetAlbumArtist(text(CRareFields::ESlot::AlbumArtist));
        for (const auto slot : {CRareFields::ESlot::ArtistSort, CRareFields::ESlot::AlbumArtistSort,
                                CRareFields::ESlot::AlbumSort})
            track.SetSortName(slot, text(slot));
        std::vector<std::string_view> names;
        std::string_view list = text(CRareFields::ESlot::Artists);
        for (std::size_t end = list.find('\0'); end != std::string_view::npos;
             end = list.find('\0')) {
            names.push_back(list.substr(0, end));
            list.remove_prefix(end + 1);
        }
        track.SetArtists(names);
        // The tracks of an album share one block.
        if (last != nullptr)
            track.ShareRare(*last);
        last = &track;
    }
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

void WriteDiscs(CArchiveWriter& archive, const TrackArray& tracks) {
    if (std::none_of(tracks.begin(), tracks.end(),
                     [](const CMp3File* track) { return track->Disc() != 0; }))
        return;
    CArchiveWriter body;
    body.Reserve(4 + tracks.size() * 2);
    WriteCount(body, tracks.size());
    for (const CMp3File* track : tracks)
        WriteUInt16(body, track->Disc());
    WriteSection(archive, ESection::Discs, body);
}

void WriteCompilations(CArchiveWriter& archive, const TrackArray& tracks) {
    const auto count = static_cast<std::size_t>(std::count_if(
        tracks.begin(), tracks.end(), [](const CMp3File* track) { return track->Compilation(); }));
    if (count == 0)
        return;
    CArchiveWriter body;
    WriteCount(body, count);
    for (std::size_t i = 0; i < tracks.size(); ++i)
        if (tracks[i]->Compilation())
            WriteCount(body, i);
    WriteSection(archive, ESection::Compilations, body);
}

void WriteRareTexts(CArchiveWriter& archive, const TrackArray& tracks) {
    std::array<std::string_view, CRareFields::kCount> texts;
    const auto count = static_cast<std::size_t>(std::count_if(
        tracks.begin(), tracks.end(), [&texts](auto* t) { return RareSlots(*t, texts) != 0; }));
    if (count == 0)
        return;
    CArchiveWriter body;
    WriteCount(body, count);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const std::uint8_t slots = RareSlots(*tracks[i], texts);
        if (slots == 0)
            continue;
        WriteCount(body, i);
        body.WriteByte(slots);
        for (const std::string_view text : texts)
            if (!text.empty())
                body.WriteString(text);
    }
    WriteSection(archive, ESection::RareTexts, body);
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
    std::size_t count = 0;
    if (covers.pictureOf)
        for (const CMp3File* track : tracks)
            count += covers.pictureOf(*track) ? 1 : 0;
    if (count != 0) {
        CArchiveWriter body;
        body.Reserve(4 + count * 14);
        WriteCount(body, count);
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            const CPictureNote note = covers.pictureOf(*tracks[i]);
            if (!note)
                continue;
            WriteCount(body, i);
            body.WriteByte(static_cast<std::uint8_t>(note.Kind()));
            body.WriteByte(static_cast<std::uint8_t>(note.Image()));
            WriteCount(body, note.Offset());
            WriteCount(body, note.Length());
        }
        WriteSection(archive, ESection::Pictures, body);
    }
    if (covers.images.empty())
        return;
    CArchiveWriter body;
    WriteCount(body, covers.images.size());
    for (const auto& [folder, name] : covers.images) {
        body.WriteString(folder);
        body.WriteString(name);
    }
    WriteSection(archive, ESection::FolderImages, body);
}

void WriteWalk(CArchiveWriter& archive, const CSnapshotExtras::SWalk& walk) {
    CArchiveWriter start;
    WriteUInt64(start, static_cast<std::uint64_t>(walk.startNs));
    WriteSection(archive, ESection::WalkStart, start);
    CArchiveWriter folders;
    WriteCount(folders, walk.bareFolders.size());
    for (const std::string& folder : walk.bareFolders)
        folders.WriteString(folder);
    WriteSection(archive, ESection::BareFolders, folders);
    if (walk.filesStartNs > 0 && walk.filesStartNs != walk.startNs) {
        CArchiveWriter files;
        WriteUInt64(files, static_cast<std::uint64_t>(walk.filesStartNs));
        WriteSection(archive, ESection::FilesStart, files);
    }
    const CSnapshotExtras::SFolderIds& ids = walk.folderIds;
    if (ids.Size() == 0)
        return;
    CArchiveWriter body;
    body.Reserve(8 + ids.devices.size() * 8 + ids.Size() * 8 + ids.deviceOf.size() * 4);
    WriteCount(body, ids.Size());
    WriteCount(body, ids.devices.size());
    for (const std::uint64_t device : ids.devices)
        WriteUInt64(body, device);
    for (const std::uint64_t inode : ids.inodes)
        WriteUInt64(body, inode);
    for (const std::uint32_t place : ids.deviceOf)
        WriteCount(body, place);
    WriteSection(archive, ESection::FolderIds, body);
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
    if (numbers) {
        CArchiveWriter body;
        body.Reserve(4 + tracks.size() * 2);
        WriteCount(body, tracks.size());
        for (const CMp3File* track : tracks)
            WriteUInt16(body, track->Track());
        WriteSection(archive, ESection::TrackNumbers, body);
    }
    if (named != 0) {
        CArchiveWriter body;
        WriteCount(body, named);
        for (std::size_t i = 0; i < tracks.size(); ++i) {
            if (tracks[i]->GenreText().empty())
                continue;
            WriteCount(body, i);
            body.WriteString(tracks[i]->GenreText());
        }
        WriteSection(archive, ESection::GenreNames, body);
    }
    if (walk != nullptr)
        WriteWalk(archive, *walk);
    if (!folder.empty()) {
        CArchiveWriter body;
        body.WriteString(folder);
        WriteSection(archive, ESection::Folder, body);
    }
    if (rare) {
        WriteDiscs(archive, tracks);
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
// alone, as a reader of the records alone leaves them.
CSnapshotExtras::EResult CSnapshotExtras::Read(CArchiveReader& archive,
                                               std::span<CMp3File* const> tracks, SWalk* walk,
                                               std::string* folder, SCovers* covers) {
    if (archive.Remaining() == 0)
        return EResult::Absent;
    std::string magic;
    if (!archive.ReadString(magic) || magic != kMagic)
        return EResult::Absent;
    SExtras extras;
    while (archive.Remaining() > 0) {
        std::uint8_t id = 0;
        std::string bytes;
        if (!archive.ReadByte(id) || !archive.ReadString(bytes))
            return EResult::Broken;
        CArchiveReader body(bytes);
        bool read = true;
        switch (static_cast<ESection>(id)) {
        case ESection::TrackNumbers:
            read = ReadNumbers(body, tracks.size(), extras.trackNumbers);
            break;
        case ESection::Discs:
            read = ReadNumbers(body, tracks.size(), extras.discs);
            break;
        case ESection::Compilations:
            read = ReadCompilations(body, tracks.size(), extras);
            break;
        case ESection::RareTexts:
            read = ReadRareTexts(body, tracks.size(), extras);
            break;
        case ESection::GenreNames:
            read = ReadGenreNames(body, tracks.size(), extras);
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
    for (std::size_t i = 0; i < extras.trackNumbers.size(); ++i)
        tracks[i]->SetTrack(extras.trackNumbers[i]);
    for (const auto& [index, name] : extras.genreNames)
        tracks[index]->SetGenreText(name);
    ApplyRare(extras, tracks);
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
