#include "model/Mp3FileList.h"

#include "model/ArchiveFormat.h"
#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"
#include "model/SnapshotExtras.h"
#include "model/SnapshotLocation.h"
#include "platform/AtomicFile.h"
#include "platform/File.h"

#include <algorithm>
#include <cerrno>
#include <span>
#include <unistd.h>
#include <unordered_map>

namespace {

// The smallest record: eleven empty strings, the genre byte and two 32-bit numbers.
constexpr std::size_t kMinRecordSize = 11 + 1 + 4 + 4;
// Unlisted records kept after a rearrangement before any count as many.
constexpr std::size_t kFewUnlisted = 4096;

// Why a folder takes no new file that a copy in the cache can stand in for: it is not the
// user's to write, or its medium is read-only. A missing folder has nothing to keep.
bool MayNotWrite(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

} // namespace

CMp3File& CMp3FileList::Append() {
    CMp3File* track = arena_.Push();
    try {
        pictures_.Push();
    } catch (...) {
        arena_.Pop();
        throw;
    }
    if (!tracks_.empty()) {
        track->ShareDirectory(*tracks_.back());
        track->StartFromRare(*tracks_.back());
    }
    try {
        tracks_.push_back(track);
    } catch (...) {
        arena_.Pop();
        pictures_.Pop();
        throw;
    }
    return *track;
}

// Records go from the end, so their texts leave the pool from its end too.
void CMp3FileList::RemoveLast() {
    if (rearranged_)
        Compact();
    tracks_.back()->ReleaseTexts(texts_);
    tracks_.pop_back();
    arena_.Pop();
    pictures_.Pop();
    if (tracks_.empty())
        texts_.Clear(); // also what edits left behind
}

CMp3File& CMp3FileList::Take(CMp3File&& track, CPictureNote picture) {
    CMp3File& record = Append();
    record.TakeOver(std::move(track), texts_);
    pictures_.Set(pictures_.Size() - 1, picture);
    return record;
}

CPictureNote CMp3FileList::PictureOf(const CMp3File& track) const {
    const std::size_t slot = arena_.IndexOf(&track);
    return slot < pictures_.Size() ? pictures_.At(slot) : CPictureNote();
}

void CMp3FileList::SetPicture(const CMp3File& track, CPictureNote picture) {
    if (const std::size_t slot = arena_.IndexOf(&track); slot < pictures_.Size())
        pictures_.Set(slot, picture);
}

std::size_t CMp3FileList::Add(std::unique_ptr<CMp3File> track) {
    Take(std::move(*track));
    return tracks_.size() - 1;
}

void CMp3FileList::Truncate(std::size_t size) {
    if (rearranged_ && size == 0) { // every record goes, listed or not
        CMp3FileList empty;
        SwapContents(empty);
        return;
    }
    while (tracks_.size() > size)
        RemoveLast();
}

void CMp3FileList::Compact() {
    CMp3FileList compact;
    compact.tracks_.reserve(tracks_.size());
    for (CMp3File* track : tracks_)
        compact.Take(std::move(*track), PictureOf(*track));
    SwapContents(compact);
}

void CMp3FileList::SwapContents(CMp3FileList& other) noexcept {
    arena_.Swap(other.arena_);
    pictures_.Swap(other.pictures_);
    texts_.Swap(other.texts_);
    tracks_.swap(other.tracks_);
    std::swap(rearranged_, other.rearranged_);
}

void CMp3FileList::Rearrange(const std::vector<CMp3File*>& order, CMp3FileList& added) {
    rearranged_ = true;
    std::unordered_map<const CMp3File*, CMp3File*> taken;
    taken.reserve(added.GetSize());
    for (CMp3File* track : added.tracks_) {
        CMp3File* record = arena_.Push();
        pictures_.Push(added.PictureOf(*track));
        record->TakeOver(std::move(*track), texts_);
        taken.emplace(track, record);
    }
    tracks_.assign(order.begin(), order.end());
    for (CMp3File*& track : tracks_)
        if (const auto found = taken.find(track); found != taken.end())
            track = found->second;
    added.RemoveAll();
    // Unlisted records are let go once they would make a fair part of the memory.
    if (arena_.Size() - tracks_.size() > tracks_.size() / 4 + kFewUnlisted)
        Compact();
}

std::string CMp3FileList::SnapshotBase(const std::string& directory) {
    if (!directory.empty() && directory.back() == '/')
        return directory;
    return directory + '/';
}

void CMp3FileList::Replace(std::size_t first, CMp3FileList& records) {
    if (first == 0) { // the whole list: the records change hands, none is moved
        SwapContents(records);
        records.RemoveAll();
        return;
    }
    Truncate(first);
    tracks_.reserve(first + records.GetSize());
    for (CMp3File* track : records.tracks_)
        Take(std::move(*track), records.PictureOf(*track));
    records.RemoveAll();
}

void CMp3FileList::Serialize(CArchiveWriter& archive, std::string_view base,
                             const CSnapshotExtras::SWalk* walk, std::string_view folder) const {
    archive.WriteString(ArchiveFormat::kMagic);
    archive.WriteInt32(static_cast<std::int32_t>(tracks_.size()));
    for (const CMp3File* track : tracks_)
        track->Serialize(archive, base);
    CSnapshotExtras::SCovers covers;
    covers.pictureOf = [this](const CMp3File& track) { return PictureOf(track); };
    const std::string_view stem = base.substr(0, base.size() - (base.ends_with('/') ? 1 : 0));
    images_.ForEach([&](const std::string& path, const std::string& name) {
        if (path == stem || (path.size() == 1 && stem.empty()))
            covers.images.emplace_back(std::string(), name);
        else if (path.starts_with(stem) && path.size() > stem.size() && path[stem.size()] == '/')
            covers.images.emplace_back(path.substr(stem.size() + 1), name);
    });
    CSnapshotExtras::Write(archive, tracks_, walk, folder, &covers);
}

// Appends the records in the archive; false when it is not a snapshot or breaks part-way (the
// records completed before the fault stay appended).
bool CMp3FileList::Serialize(CArchiveReader& archive, std::string_view base) {
    return ReadMagic(archive) && ReadRecords(archive, base, nullptr, nullptr);
}

bool CMp3FileList::ReadMagic(CArchiveReader& archive) {
    std::string magic;
    return archive.ReadString(magic) && magic == ArchiveFormat::kMagic;
}

// A count of zero or below reads no record. A hostile count cannot make us reserve more than
// the bytes left could hold. A block of extras after the records that does not hold together
// breaks the snapshot as a cut record does: it was written with the records, in one piece, so
// the records beside it are no more to be trusted, and a walk gives every track back whole.
bool CMp3FileList::ReadRecords(CArchiveReader& archive, std::string_view base,
                               CSnapshotExtras::SWalk* walk, std::string* folder) {
    std::int32_t count = 0;
    if (!archive.ReadInt32(count))
        return false;
    const std::size_t first = tracks_.size();
    const auto wanted = static_cast<std::size_t>(std::max(count, 0));
    tracks_.reserve(first + std::min(wanted, archive.Remaining() / kMinRecordSize));
    for (std::size_t i = 0; i < wanted; ++i) {
        const CMp3File* before = tracks_.size() > first ? tracks_.back() : nullptr;
        if (!Append().Serialize(archive, base, &texts_, before)) {
            RemoveLast();
            return false;
        }
    }
    CSnapshotExtras::SCovers covers;
    if (CSnapshotExtras::Read(archive, std::span(tracks_).subspan(first), walk, folder, &covers) ==
        CSnapshotExtras::EResult::Broken)
        return false;
    for (const auto& [index, picture] : covers.pictures)
        SetPicture(*tracks_[first + index], picture);
    const std::string_view stem = base.substr(0, base.size() - (base.ends_with('/') ? 1 : 0));
    for (const auto& [relative, name] : covers.images) {
        std::string path(stem);
        if (!relative.empty())
            (path += '/') += relative;
        images_.Set(path.empty() ? "/" : path, name);
    }
    return true;
}

// Written beside the old one and renamed over it once whole, so a failed write never leaves a
// half snapshot for the next visit to trust. The records go to the file as they are made: a
// million tracks' snapshot never lies in memory at once.
bool CMp3FileList::SaveSnapshot(const std::string& directory,
                                const CSnapshotExtras::SWalk* walk) const {
    const std::string base = SnapshotBase(directory);
    CAtomicFile file;
    switch (file.Open(CSnapshotLocation::InFolder(base), {})) {
    case CAtomicFile::EResult::CannotCreate:
        return !MayNotWrite(file.Error()) || !CSnapshotLocation::HoldsNone(base) ||
               SaveCopy(base, walk);
    case CAtomicFile::EResult::WriteFailed:
        return false;
    case CAtomicFile::EResult::Written:
        break;
    }
    if (!WriteSnapshot(file, base, walk, {}))
        return false;
    // A copy kept while the folder could not take its snapshot would only come back stale.
    const std::string copy = CSnapshotLocation::InCache(CSnapshotLocation::Folder(base), false);
    if (!copy.empty())
        ::unlink(copy.c_str());
    return true;
}

// The copy in the cache, written as the folder's own would be; no cache folder, no copy.
bool CMp3FileList::SaveCopy(std::string_view base, const CSnapshotExtras::SWalk* walk) const {
    const std::string folder = CSnapshotLocation::Folder(base);
    const std::string copy = CSnapshotLocation::InCache(folder, true);
    if (copy.empty())
        return true;
    CAtomicFile file;
    switch (file.Open(copy, {.mode = 0600})) {
    case CAtomicFile::EResult::CannotCreate:
        return true;
    case CAtomicFile::EResult::WriteFailed:
        return false;
    case CAtomicFile::EResult::Written:
        break;
    }
    return WriteSnapshot(file, base, walk, folder);
}

bool CMp3FileList::WriteSnapshot(CAtomicFile& file, std::string_view base,
                                 const CSnapshotExtras::SWalk* walk,
                                 std::string_view folder) const {
    CArchiveWriter archive([&file](std::string_view bytes) { return file.Write(bytes); });
    Serialize(archive, base, walk, folder);
    return archive.Flush() && file.Commit() == CAtomicFile::EResult::Written;
}

bool CMp3FileList::OpenSnapshot(const std::string& base, CFile& file, std::string& folder) {
    folder.clear();
    if (file.Open(CSnapshotLocation::InFolder(base), CFile::EMode::Read) ==
        CFile::EOpenResult::Opened)
        return true;
    if (!CSnapshotLocation::HoldsNone(base))
        return false;
    folder = CSnapshotLocation::Folder(base);
    const std::string copy = CSnapshotLocation::InCache(folder, false);
    return !copy.empty() && file.Open(copy, CFile::EMode::Read) == CFile::EOpenResult::Opened;
}

// Only the head is read; the count is a hint for a progress bar, never trusted for memory.
std::size_t CMp3FileList::SnapshotRecordCount(const std::string& directory) {
    CFile file;
    std::string folder;
    if (!OpenSnapshot(SnapshotBase(directory), file, folder))
        return 0;
    CArchiveReader archive(file);
    std::int32_t count = 0;
    return ReadMagic(archive) && archive.ReadInt32(count) && count > 0
               ? static_cast<std::size_t>(count)
               : 0;
}

// A copy that names another folder (two paths whose copies share a name) is not this folder's:
// its records go, and the folder is walked.
CMp3FileList::ELoadResult CMp3FileList::LoadSnapshot(const std::string& directory,
                                                     CSnapshotExtras::SWalk* walk, bool* fromCopy) {
    const std::string base = SnapshotBase(directory);
    CFile file;
    std::string folder;
    if (!OpenSnapshot(base, file, folder))
        return ELoadResult::NotFound;
    if (fromCopy != nullptr)
        *fromCopy = !folder.empty();
    CArchiveReader archive(file);
    if (!ReadMagic(archive))
        return ELoadResult::NotFound;
    const std::size_t first = tracks_.size();
    std::string named;
    const bool whole = ReadRecords(archive, base, walk, folder.empty() ? nullptr : &named);
    if (whole && named != folder) {
        Truncate(first);
        if (walk != nullptr)
            *walk = {};
        return ELoadResult::NotFound;
    }
    return whole ? ELoadResult::Loaded : ELoadResult::Broken;
}
