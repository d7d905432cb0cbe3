#include "catalog/ChangeCheck.h"

#include "catalog/FilePattern.h"
#include "catalog/FolderChain.h"
#include "catalog/FolderScanner.h"
#include "catalog/FolderSet.h"
#include "model/Mp3File.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <unordered_set>

namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;
// A track's size in the record: the bytes before its last 128, in thousands.
constexpr std::int64_t kId3v1Size = 128;
constexpr std::int64_t kSizeUnit = 1000;
// Past this many changed folders the listings are not compared before the update lists them.
constexpr std::size_t kMostCompared = 64;
// Threads that look at folders and files at once, and the least work worth a thread.
constexpr std::size_t kMostThreads = 4;
constexpr std::size_t kLeastPerThread = 256;

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * kNsPerSecond + time.tv_nsec;
}

// The later of the modification and change times.
std::int64_t LastChange(const struct stat& status) {
    return std::max(Nanoseconds(status.st_mtim), Nanoseconds(status.st_ctim));
}

std::string_view LastName(std::string_view folder) {
    const std::size_t slash = folder.rfind('/');
    return slash == std::string_view::npos ? folder : folder.substr(slash + 1);
}

// A value that sorts below every byte: the end of a folder name, then its separator.
int OrderByte(std::string_view text, std::size_t at) {
    if (at == text.size())
        return -2;
    return text[at] == '/' ? -1 : static_cast<unsigned char>(text[at]);
}

// Whether an existing folder still holds exactly the tracks and subfolders the snapshot knows;
// its own time says only that something in it changed (the snapshot's own folder changes each
// time the snapshot is written).
bool SameEntries(const std::string& path, const CFilePattern& pattern,
                 std::vector<std::string_view> expected) {
    const int fd = CFolderChain::OpenFolder(AT_FDCWD, path.c_str());
    if (fd < 0)
        return false;
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    // A link or an entry of unknown type counts as a folder only when it leads to one. A
    // listing names each entry once: every one that counts is expected, and as many as are.
    std::size_t counted = 0;
    const bool same =
        CFolderScanner::ForEachEntry(fd, [&](std::string_view name, unsigned char type) {
            // The name ends where the listing's entry does, in a NUL.
            const auto isFolder = [&] {
                struct stat status {};
                return type == DT_DIR ||
                       (CFolderScanner::MayBeFolder(type) &&
                        ::fstatat(fd, name.data(), &status, 0) == 0 && S_ISDIR(status.st_mode));
            };
            if (!pattern.Matches(name) && !isFolder())
                return true;
            ++counted;
            return std::binary_search(expected.begin(), expected.end(), name);
        });
    ::close(fd);
    return same && counted == expected.size();
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
    const CFolderSet set(base, records, walk);
    std::vector<std::string> folders(set.Folders().begin(), set.Folders().end());
    std::sort(folders.begin(), folders.end());
    return folders;
}

namespace {

// Each look is one system call whose cost is the kernel's walk of the name; a few threads keep
// several in flight (a network share answers each after a round trip). Each thread gathers its
// own part, and the parts are joined in order.
template <class Item, class Look>
std::vector<Item> LookInParallel(std::size_t count, const Look& look) {
    const std::size_t threads =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostThreads);
    const std::size_t parts = count < kLeastPerThread * 2 ? 1 : threads;
    std::vector<std::vector<Item>> found(parts);
    const auto part = [&](std::size_t index) {
        for (std::size_t i = count * index / parts; i < count * (index + 1) / parts; ++i)
            look(i, found[index]);
    };
    std::vector<std::jthread> workers;
    for (std::size_t index = 1; index < parts; ++index)
        workers.emplace_back(part, index);
    part(0);
    workers.clear();
    std::vector<Item> all;
    for (std::vector<Item>& items : found)
        all.insert(all.end(), items.begin(), items.end());
    return all;
}

} // namespace

namespace {

using SResult = CChangeCheck::SResult;

// Each folder with one look, by its name from the snapshot's folder; the same look gives its
// identity, compared with the one kept, or gathered where none is. A snapshot whose own folder
// (the first of the set) is not the one it was written in lies in a tree copied, restored or
// mounted again, where every number is new: its identities say nothing, and it is looked at by
// times alone, as one without them, rather than read again whole.
void LookAtFolders(int baseFd, const CFolderSet& set, const CSnapshotExtras::SFolderIds& known,
                   std::int64_t since, SResult& result) {
    const std::vector<std::string_view>& folders = set.Folders();
    struct stat own {};
    const bool compare = known.Size() == folders.size() && baseFd >= 0 &&
                         ::fstat(baseFd, &own) == 0 && known.Is(0, own.st_dev, own.st_ino);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> found(compare ? 0 : folders.size());
    using SChanged = std::pair<std::string_view, bool>; // the folder, and whether it is another
    const auto look = [&](std::size_t i, std::vector<SChanged>& changed) {
        thread_local std::string name;
        name.assign(folders[i].empty() ? std::string_view(".") : folders[i]);
        struct stat status {};
        if (baseFd < 0 || ::fstatat(baseFd, name.c_str(), &status, 0) != 0 ||
            !S_ISDIR(status.st_mode)) {
            changed.emplace_back(folders[i], false);
            return;
        }
        if (!compare)
            found[i] = {status.st_dev, status.st_ino};
        const bool replaced = compare && !known.Is(i, status.st_dev, status.st_ino);
        if (replaced || LastChange(status) >= since)
            changed.emplace_back(folders[i], replaced);
    };
    for (const auto& [folder, replaced] : LookInParallel<SChanged>(folders.size(), look)) {
        result.folders.emplace(folder);
        if (replaced)
            result.replaced.emplace(folder);
    }
    for (const auto& [device, inode] : found)
        result.foundIds.Add(device, inode);
}

// One folder open at a time, each of its files looked at by its name in it; a file that is no
// longer there makes its folder one to list again.
void LookAtFiles(int baseFd, std::span<CMp3File* const> records, const CFolderSet& set,
                 std::int64_t since, SResult& result) {
    using SFound = std::pair<const CMp3File*, std::string_view>; // no track: the folder
    const std::vector<CFolderSet::SRun>& runs = set.Runs();
    const auto look = [&](std::size_t r, std::vector<SFound>& changed) {
        const CFolderSet::SRun& run = runs[r];
        if (result.folders.contains(run.folder))
            return;
        thread_local std::string name;
        name.assign(run.folder.empty() ? std::string_view(".") : run.folder);
        const int fd =
            baseFd < 0 ? -1 : ::openat(baseFd, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        for (std::size_t i = run.begin; i < run.end; ++i) {
            const CMp3File* track = records[i];
            struct stat status {};
            name.assign(track->FileName());
            if (fd < 0 || ::fstatat(fd, name.c_str(), &status, 0) != 0) {
                changed.emplace_back(nullptr, run.folder);
                break;
            }
            const std::int64_t sizeK = (status.st_size - kId3v1Size) / kSizeUnit;
            if (sizeK != track->SizeK() || LastChange(status) >= since)
                changed.emplace_back(track, run.folder);
        }
        if (fd >= 0)
            ::close(fd);
    };
    for (const SFound& found : LookInParallel<SFound>(runs.size(), look)) {
        if (found.first == nullptr)
            result.folders.emplace(found.second);
        else
            result.files.insert(found.first);
    }
}

} // namespace

CChangeCheck::SResult CChangeCheck::Run(const std::string& base, const std::string& pattern,
                                        std::span<CMp3File* const> records,
                                        const CSnapshotExtras::SWalk& walk, ECheckLevel level) {
    SResult result;
    if (level == ECheckLevel::None)
        return result;
    const CFolderSet set(base, records, walk);
    // Without the walk's start nothing can be vouched for: every folder is listed again.
    const std::int64_t since = walk.startNs > 0 ? walk.startNs : INT64_MIN;
    // Names are looked up from the snapshot's folder, not from the root each time.
    const int baseFd = ::open(base.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    LookAtFolders(baseFd, set, walk.folderIds, since, result);
    if (!result.folders.empty() && result.folders.size() <= kMostCompared && since > INT64_MIN)
        DropUnchanged(base, pattern, records, set, result);
    if (level == ECheckLevel::Files && since == INT64_MIN) // nor for any file: all are read
        result.files.insert(records.begin(), records.end());
    else if (level == ECheckLevel::Files)
        LookAtFiles(baseFd, records, set, walk.filesStartNs > 0 ? walk.filesStartNs : since,
                    result);
    if (baseFd >= 0)
        ::close(baseFd);
    return result;
}

void CChangeCheck::DropUnchanged(const std::string& base, const std::string& pattern,
                                 std::span<CMp3File* const> records, const CFolderSet& set,
                                 SResult& result) {
    const CFilePattern matcher(pattern);
    for (auto it = result.folders.begin(); it != result.folders.end();) {
        const std::string_view folder = *it;
        if (result.replaced.contains(folder)) { // the same names, other files
            ++it;
            continue;
        }
        std::vector<std::string_view> expected = set.Children(folder);
        for (std::string_view& child : expected)
            child = LastName(child);
        if (const CFolderSet::SRun* run = set.RunOf(folder))
            for (std::size_t i = run->begin; i < run->end; ++i)
                expected.push_back(records[i]->FileName());
        if (SameEntries(folder.empty() ? base : base + std::string(folder), matcher, expected))
            it = result.folders.erase(it);
        else
            ++it;
    }
}
