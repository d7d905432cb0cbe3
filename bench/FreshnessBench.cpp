// What looking for changes on disk adds to a warm snapshot open of 100,000 tracks in about
// 9,300 folders, against the open that takes the snapshot at face value; and the re-read of one
// folder of 20 tracks after a watch event, in the same catalog. Wall time, the best of nine: the
// look keeps a few requests in flight on threads, and the user waits for the slowest. Each
// level's goal is stated against the looks it cannot do without, made in the same run by a
// few lines written apart from the program: looking at folders adds at most 1.2 times one stat
// of every known folder on one thread, looking at files as well at most 1.2 times one stat of
// every file on two threads.
#include "bench/BenchCollection.h"
#include "bench/QuietReporter.h"
#include "catalog/QuavDoc.h"
#include "platform/IniProfile.h"
#include "platform/Reporter.h"
#include "settings/AppSettings.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kTracks = 100000;
constexpr int kRounds = 9;

double BestWallSeconds(int runs, const std::function<void()>& work) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}
constexpr int kFolderTracks = 20;

// The defaults of a new profile.
CAppSettings Defaults() {
    CAppSettings settings;
    settings.LoadSettings(CIniProfile("/nonexistent/quavero.ini"));
    return settings;
}

// Opens from the snapshot, as the command-line tool does: nothing is written. The three levels
// take turns, so that a slow moment of the machine falls on each alike; the best of each.
std::array<double, 3> OpenSeconds(const std::string& root) {
    std::array<double, 3> best{1e30, 1e30, 1e30};
    CQuietReporter reporter;
    for (int round = 0; round < kRounds; ++round) {
        for (int level = 0; level < 3; ++level) {
            CAppSettings settings = Defaults();
            settings.UseCachedCatalog = 1;
            settings.CheckForChanges = level;
            const double seconds = BestWallSeconds(1, [&] {
                CQuavDoc doc(settings, nullptr, reporter);
                doc.SetStoreSnapshots(false);
                doc.OpenAddress(root);
            });
            best[static_cast<std::size_t>(level)] =
                std::min(best[static_cast<std::size_t>(level)], seconds);
        }
    }
    return best;
}

// The look alone, as any program must make it: every folder of the collection, and every file
// by its name in its folder, one stat each, the names gathered beforehand. It shows what a goal
// leaves on this machine: the looks cost what its system calls cost.
struct SLookFloor {
    double folders = 1e30;    // one thread
    double files = 1e30;      // one thread, for reference
    double filesTwice = 1e30; // two threads, each with half of the files
};

using FolderNames = std::vector<std::pair<std::string, std::vector<std::string>>>;

// Every file of the folders from `begin` to `end` by its name in its folder.
void StatFiles(const FolderNames& folders, std::size_t begin, std::size_t end) {
    struct stat status {};
    for (std::size_t i = begin; i < end; ++i) {
        const int fd = ::open(folders[i].first.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        for (const std::string& name : folders[i].second)
            ::fstatat(fd, name.c_str(), &status, 0);
        ::close(fd);
    }
}

void GatherNames(const std::string& folder,
                 std::vector<std::pair<std::string, std::vector<std::string>>>& found) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    std::vector<std::string> files, subfolders;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        (entry->d_type == DT_DIR ? subfolders : files).push_back(name);
    }
    ::closedir(dir);
    found.emplace_back(folder, std::move(files));
    for (const std::string& name : subfolders) {
        std::string path = folder;
        path += '/';
        path += name;
        GatherNames(path, found);
    }
}

SLookFloor LookFloor(const std::string& root) {
    FolderNames folders;
    GatherNames(root, folders);
    // The folder where the first half of the files ends: the second thread takes the rest.
    std::size_t files = 0;
    for (const auto& folder : folders)
        files += folder.second.size();
    std::size_t half = 0;
    for (std::size_t seen = 0; half < folders.size() && seen * 2 < files; ++half)
        seen += folders[half].second.size();
    SLookFloor best;
    struct stat status {};
    for (int round = 0; round < kRounds; ++round) {
        best.folders = std::min(best.folders, BestWallSeconds(1, [&] {
                                    for (const auto& folder : folders)
                                        ::stat(folder.first.c_str(), &status);
                                }));
        best.files = std::min(best.files,
                              BestWallSeconds(1, [&] { StatFiles(folders, 0, folders.size()); }));
        best.filesTwice =
            std::min(best.filesTwice, BestWallSeconds(1, [&] {
                         std::thread second(StatFiles, std::cref(folders), half, folders.size());
                         StatFiles(folders, 0, half);
                         second.join();
                     }));
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const std::string data = argc > 1 ? argv[1] : "bench-data";
    const CBenchCollection collection(data + "/fresh100k", kTracks, 1000);
    const std::string& root = collection.Root();
    // One album of 20 tracks: links to tracks of the collection.
    const std::string album = root + "/Artist 0/Album of twenty";
    if (!std::filesystem::exists(album)) {
        std::filesystem::create_directories(album);
        for (int i = 0; i < kFolderTracks; ++i)
            ::link(collection.Paths()[static_cast<std::size_t>(i)].c_str(),
                   (album + "/" + std::to_string(i) + ".mp3").c_str());
    }
    CAppSettings settings = Defaults();
    settings.UseCachedCatalog = 0;
    settings.CheckForChanges = 1;
    CQuietReporter reporter;
    CQuavDoc walked(settings, nullptr, reporter);
    walked.OpenAddress(root); // the walk writes the snapshot the opens below read
    const std::size_t tracks = walked.GetTrackList().GetSize();

    const auto [faceValue, folders, files] = OpenSeconds(root);
    std::printf("Changes on disk: %zu tracks in %zu folders, warm; what each level adds to the "
                "snapshot open that looks for none (%.3f s)\n",
                tracks, walked.WatchedFolders().size(), faceValue);
    const SLookFloor look = LookFloor(root);
    const double addsFolders = std::max(folders - faceValue, 0.0);
    const double addsFiles = std::max(files - faceValue, 0.0);
    CBenchCollection::PrintRow("level 1 adds: folders looked at", addsFolders, look.folders,
                               "<= 1.20 floor", addsFolders <= 1.20 * look.folders, "floor");
    CBenchCollection::PrintRow("level 2 adds: folders and files looked at", addsFiles,
                               look.filesTwice, "<= 1.20 floor",
                               addsFiles <= 1.20 * look.filesTwice, "floor");
    std::printf("    floors: one stat of every folder, one thread, %.3f s; of every file, two "
                "threads, %.3f s (one thread %.3f s)\n",
                look.folders, look.filesTwice, look.files);

    settings.UseCachedCatalog = 1;
    walked.SetStoreSnapshots(false);
    walked.OpenAddress(root);
    const double reread = BestWallSeconds(kRounds, [&] { walked.RereadFolders({album}); });
    std::printf("  %-44s %9.3f s  goal < 0.020 s  %s\n", "one folder of 20 tracks read again",
                reread, reread < 0.020 ? "MET" : "MISSED");
    return 0;
}
