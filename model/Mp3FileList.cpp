#include "model/Mp3FileList.h"

#include "model/ArchiveFormat.h"
#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"
#include "model/SnapshotExtras.h"
#include "platform/AtomicFile.h"
#include "platform/File.h"

#include <algorithm>
#include <span>

namespace {

// The smallest record: eleven empty strings, the genre byte and two 32-bit numbers.
constexpr std::size_t kMinRecordSize = 11 + 1 + 4 + 4;

} // namespace

CMp3File& CMp3FileList::Append() {
    CMp3File* track = arena_.Push();
    if (!tracks_.empty())
        track->ShareDirectory(*tracks_.back());
    try {
        tracks_.push_back(track);
    } catch (...) {
        arena_.Pop();
        throw;
    }
    return *track;
}

void CMp3FileList::RemoveLast() {
    tracks_.pop_back();
    arena_.Pop();
}

std::size_t CMp3FileList::Add(std::unique_ptr<CMp3File> track) {
    Append() = std::move(*track);
    return tracks_.size() - 1;
}

void CMp3FileList::Truncate(std::size_t size) {
    while (tracks_.size() > size)
        RemoveLast();
}

std::string CMp3FileList::SnapshotBase(const std::string& directory) {
    if (!directory.empty() && directory.back() == '/')
        return directory;
    return directory + '/';
}

void CMp3FileList::Replace(std::size_t first, CMp3FileList& records) {
    if (first == 0) { // the whole list: the records change hands, none is moved
        arena_.Swap(records.arena_);
        tracks_.swap(records.tracks_);
        records.RemoveAll();
        return;
    }
    Truncate(first);
    tracks_.reserve(first + records.GetSize());
    for (CMp3File* track : records.tracks_)
        Append() = std::move(*track);
    records.RemoveAll();
}

void CMp3FileList::Serialize(CArchiveWriter& archive, std::string_view base,
                             const CSnapshotExtras::SWalk* walk) const {
    archive.WriteString(ArchiveFormat::kMagic);
    archive.WriteInt32(static_cast<std::int32_t>(tracks_.size()));
    for (const CMp3File* track : tracks_)
        track->Serialize(archive, base);
    CSnapshotExtras::Write(archive, tracks_, walk);
}

// Appends the records in the archive; false when it is not a snapshot or breaks part-way (the
// records completed before the fault stay appended).
bool CMp3FileList::Serialize(CArchiveReader& archive, std::string_view base) {
    return ReadMagic(archive) && ReadRecords(archive, base, nullptr);
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
                               CSnapshotExtras::SWalk* walk) {
    std::int32_t count = 0;
    if (!archive.ReadInt32(count))
        return false;
    const std::size_t first = tracks_.size();
    const auto wanted = static_cast<std::size_t>(std::max(count, 0));
    tracks_.reserve(first + std::min(wanted, archive.Remaining() / kMinRecordSize));
    for (std::size_t i = 0; i < wanted; ++i) {
        if (!Append().Serialize(archive, base)) {
            RemoveLast();
            return false;
        }
    }
    return CSnapshotExtras::Read(archive, std::span(tracks_).subspan(first), walk) !=
           CSnapshotExtras::EResult::Broken;
}

// Written beside the old one and renamed over it once whole, so a failed write never leaves a
// half snapshot for the next visit to trust. The records go to the file as they are made: a
// million tracks' snapshot never lies in memory at once.
bool CMp3FileList::SaveSnapshot(const std::string& directory,
                                const CSnapshotExtras::SWalk* walk) const {
    const std::string base = SnapshotBase(directory);
    CAtomicFile file;
    switch (file.Open(base + std::string(ArchiveFormat::kFileName), {})) {
    case CAtomicFile::EResult::CannotCreate:
        return true;
    case CAtomicFile::EResult::WriteFailed:
        return false;
    case CAtomicFile::EResult::Written:
        break;
    }
    CArchiveWriter archive([&file](std::string_view bytes) { return file.Write(bytes); });
    Serialize(archive, base, walk);
    return archive.Flush() && file.Commit() == CAtomicFile::EResult::Written;
}

// Only the head is read; the count is a hint for a progress bar, never trusted for memory.
std::size_t CMp3FileList::SnapshotRecordCount(const std::string& directory) {
    CFile file;
    if (file.Open(SnapshotBase(directory) + std::string(ArchiveFormat::kFileName),
                  CFile::EMode::Read) != CFile::EOpenResult::Opened)
        return 0;
    CArchiveReader archive(file);
    std::int32_t count = 0;
    return ReadMagic(archive) && archive.ReadInt32(count) && count > 0
               ? static_cast<std::size_t>(count)
               : 0;
}

CMp3FileList::ELoadResult CMp3FileList::LoadSnapshot(const std::string& directory,
                                                     CSnapshotExtras::SWalk* walk) {
    const std::string base = SnapshotBase(directory);
    CFile file;
    if (file.Open(base + std::string(ArchiveFormat::kFileName), CFile::EMode::Read) !=
        CFile::EOpenResult::Opened)
        return ELoadResult::NotFound;
    CArchiveReader archive(file);
    if (!ReadMagic(archive))
        return ELoadResult::NotFound;
    return ReadRecords(archive, base, walk) ? ELoadResult::Loaded : ELoadResult::Broken;
}
