#include "catalog/ChangeCheck.h"

#include "model/Mp3File.h"

#include <algorithm>
#include <sys/stat.h>
#include <time.h>

namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;
// A track's size in the record: the bytes before its last 128, in thousands.
constexpr std::int64_t kId3v1Size = 128;
constexpr std::int64_t kSizeUnit = 1000;

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * kNsPerSecond + time.tv_nsec;
}

// The later of the modification and change times.
std::int64_t LastChange(const struct stat& status) {
    return std::max(Nanoseconds(status.st_mtim), Nanoseconds(status.st_ctim));
}

std::string FolderPath(const std::string& base, const std::string& folder) {
    return folder.empty() ? base : base + folder;
}

// A value that sorts below every byte: the end of a folder name, then its separator.
int OrderByte(std::string_view text, std::size_t at) {
    if (at == text.size())
        return -2;
    return text[at] == '/' ? -1 : static_cast<unsigned char>(text[at]);
}

} // namespace

std::int64_t CChangeCheck::Now() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return Nanoseconds(now);
}

std::string_view CChangeCheck::RelativeFolder(std::string_view base, const CMp3File& track) {
    std::string_view folder = track.Directory();
    const std::string_view stem = base.substr(0, base.size() - (base.ends_with('/') ? 1 : 0));
    if (!folder.starts_with(stem))
        return folder;
    folder.remove_prefix(stem.size());
    while (folder.starts_with('/'))
        folder.remove_prefix(1);
    while (folder.ends_with('/'))
        folder.remove_suffix(1);
    return folder;
}

// Folder names compare one by one: "a" and its "a/b" come before "a-b", though '/' is above
// '-'; a folder's files come before those of its subfolders.
bool CChangeCheck::WalkOrder(std::string_view folderA, std::string_view nameA,
                             std::string_view folderB, std::string_view nameB) {
    if (folderA == folderB)
        return nameA < nameB;
    const std::size_t common = std::min(folderA.size(), folderB.size());
    std::size_t at = 0;
    while (at < common && folderA[at] == folderB[at])
        ++at;
    if (at == folderA.size() && at > 0 && at < folderB.size() && folderB[at] == '/')
        return true; // A holds B
    if (at == folderB.size() && at > 0 && at < folderA.size() && folderA[at] == '/')
        return false;
    if (folderA.empty() || folderB.empty())
        return folderA.empty();
    return OrderByte(folderA, at) < OrderByte(folderB, at);
}

std::vector<std::string> CChangeCheck::KnownFolders(std::string_view base,
                                                    std::span<CMp3File* const> records,
                                                    const CSnapshotExtras::SWalk& walk) {
    std::set<std::string, std::less<>> known(walk.bareFolders.begin(), walk.bareFolders.end());
    known.emplace();
    std::string_view last;
    for (const CMp3File* track : records) {
        std::string_view folder = RelativeFolder(base, *track);
        if (folder == last)
            continue;
        last = folder;
        // Each parent up to the snapshot's folder; a known one has its parents already.
        while (!folder.empty() && known.emplace(folder).second)
            folder = folder.substr(
                0, folder.rfind('/') == std::string_view::npos ? 0 : folder.rfind('/'));
    }
    return {known.begin(), known.end()};
}

CChangeCheck::SResult CChangeCheck::Run(const std::string& base, std::span<CMp3File* const> records,
                                        const CSnapshotExtras::SWalk& walk, ECheckLevel level) {
    SResult result;
    if (level == ECheckLevel::None)
        return result;
    // Without the walk's start nothing can be vouched for: every folder is listed again.
    const std::int64_t since = walk.startNs > 0 ? walk.startNs : INT64_MIN;
    for (std::string& folder : KnownFolders(base, records, walk)) {
        struct stat status {};
        if (::stat(FolderPath(base, folder).c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
            LastChange(status) >= since)
            result.folders.insert(std::move(folder));
    }
    if (level != ECheckLevel::Files)
        return result;
    for (const CMp3File* track : records) {
        const std::string_view folder = RelativeFolder(base, *track);
        if (result.folders.contains(folder))
            continue;
        struct stat status {};
        if (::stat(track->FullPath().c_str(), &status) != 0) {
            result.folders.emplace(folder);
            continue;
        }
        const std::int64_t sizeK = (status.st_size - kId3v1Size) / kSizeUnit;
        if (sizeK != track->SizeK() || LastChange(status) >= since)
            result.files.insert(track);
    }
    return result;
}
