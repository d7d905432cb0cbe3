// What watching the folders costs the window: a whole program started on a collection of
// 100,000 tracks (about 9,300 folders; 1,000,000 with BENCH_LARGE=1) opened from its snapshot,
// until its window first paints the tracks, with the folders looked at and watched
// (CheckForChanges=1) against the same start that takes the snapshot at face value and watches
// nothing (CheckForChanges=0). The two take turns, the best of each in wall time: the user waits
// for the window, not for a processor. Beside it, the same start whose watcher only gathers the
// folders and sets no watch (the look at a share, once a day), which tells what the watches add to
// the open's own look for changes; when the last watch is set; and the watch table's bytes a
// folder.
#include "app/QuavApp.h"
#include "bench/BenchCollection.h"
#include "bench/QuietReporter.h"
#include "bench/WindowStart.h"
#include "catalog/QuavDoc.h"
#include "frame/FolderWatcher.h"
#include "frame/MainFrame.h"
#include "model/ArchiveFormat.h"
#include "platform/IniProfile.h"
#include "platform/WatchTable.h"
#include "settings/AppSettings.h"
#include "settings/SettingsKeys.h"

#include <QEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr int kRounds = 5;
constexpr int kDay = 24 * 60 * 60;
constexpr char kNoWatch[] = "--no-watch";

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The program as the user starts it, on the profile that QUAVERO_PROFILE names; one line out:
// seconds to the window's first paint of the catalog, seconds to the last watch, folders, table
// bytes.
int Child(int argc, char** argv, bool watch) {
    const Clock::time_point start = Clock::now();
    CFolderWatcher::PollEverywhere(!watch);
    CQuavApp app(argc, argv);
    if (!WindowStart::UntilPainted(app))
        return 1;
    const double appeared = Since(start);
    const CFolderWatcher& watcher = app.Frame()->Watcher();
    while (!watcher.Settled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("%.6f %.6f %zu %zu\n", appeared, Since(start), watcher.Table().Size(),
                watcher.Table().Bytes());
    std::fflush(stdout);
    std::_Exit(0); // what the window leaves behind is not measured
}

struct SRun {
    double appeared = 1e30;
    double watched = 1e30;
    std::size_t folders = 0;
    std::size_t bytes = 0;
};

SRun RunChild(const std::string& self, const std::string& profile, bool watch = true) {
    SRun run;
    FILE* out = WindowStart::OpenChild(self, profile, watch ? "" : std::string(" ") + kNoWatch);
    if (out == nullptr)
        return run;
    if (std::fscanf(out, "%lf %lf %zu %zu", &run.appeared, &run.watched, &run.folders,
                    &run.bytes) != 4)
        run = {};
    ::pclose(out);
    return run;
}

std::string WriteProfile(const std::string& path, const std::string& root, int level) {
    std::remove(path.c_str());
    CIniProfile profile(path);
    profile.WriteString(SettingsKey::kSectionMp3, SettingsKey::kFilePath, root);
    profile.WriteInt(SettingsKey::kSectionAdvanced, SettingsKey::kCheckForChanges, level);
    profile.WriteInt(SettingsKey::kSectionAdvanced, SettingsKey::kUseCachedCatalog, 1);
    profile.WriteInt(SettingsKey::kSectionAdvanced, SettingsKey::kPollSeconds, kDay);
    return path;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == WindowStart::kChild) {
        const bool watch = argc < 3 || std::string(argv[2]) != kNoWatch;
        int childArgc = 1;
        return Child(childArgc, argv, watch);
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: GuiWatchBench DATA-FOLDER [QUAVERO-SCAN [TRACKS]]\n");
        return 2;
    }
    const std::string data = argv[1];
    const char* large = std::getenv("BENCH_LARGE");
    const bool million = large != nullptr && std::string(large) == "1";
    // A smaller count (the third argument) tries the benchmark out.
    const int tracks = argc > 3 ? std::atoi(argv[3]) : million ? 1000000 : 100000;
    const std::string name = tracks == 100000 ? "/fresh100k" : "/fresh" + std::to_string(tracks);
    const CBenchCollection collection(data + name, tracks, 1000);
    const std::string& root = collection.Root();
    {
        // A snapshot that keeps what the look for changes needs.
        CAppSettings settings;
        settings.LoadSettings(CIniProfile("/nonexistent/quavero.ini"));
        settings.UseCachedCatalog = 1;
        settings.CheckForChanges = 1;
        CQuietReporter reporter;
        CQuavDoc doc(settings, nullptr, reporter);
        doc.OpenAddress(root);
    }
    // Each start writes the snapshot again, and one at CheckForChanges=0 leaves out what the
    // look needs, which would send the next start to list every folder: each start gets the
    // same bytes, written over the file in place so that the folder's own time stays.
    const std::string snapshot = root + "/" + std::string(ArchiveFormat::kFileName);
    std::string bytes;
    {
        std::ifstream in(snapshot, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const auto run = [&](const std::string& profile, bool watch) {
        std::fstream(snapshot, std::ios::binary | std::ios::in | std::ios::out)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::filesystem::resize_file(snapshot, bytes.size());
        return RunChild(argv[0], profile, watch);
    };
    const std::string still = WriteProfile(data + "/gui-watch-0.ini", root, 0);
    const std::string watching = WriteProfile(data + "/gui-watch-1.ini", root, 1);
    SRun base, watched;
    double looked = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        const SRun a = run(still, true);
        const SRun b = run(watching, true);
        const SRun c = run(watching, false);
        base.appeared = std::min(base.appeared, a.appeared);
        looked = std::min(looked, c.appeared);
        if (b.appeared < watched.appeared)
            watched = b;
    }
    std::printf("Watching: the window started on %d tracks from their snapshot, until it first "
                "paints them; the start at CheckForChanges=0 is the base\n",
                tracks);
    CBenchCollection::PrintRow("window appears, folders watched", watched.appeared, base.appeared,
                               "<= 1.10", watched.appeared <= 1.10 * base.appeared, "base");
    CBenchCollection::PrintInfoRow("window appears, folders looked at, none watched", looked,
                                   base.appeared, "the open's own look for changes");
    const double perFolder = watched.folders > 0 ? static_cast<double>(watched.bytes) /
                                                       static_cast<double>(watched.folders)
                                                 : 0;
    std::printf("  %-44s %9.3f s  (%zu folders, after the window: %.3f s)\n",
                "last watch set, from the start", watched.watched, watched.folders,
                watched.watched - watched.appeared);
    std::printf("  %-44s %9.1f B  goal <= 100 B        %s\n", "watch table, bytes a folder",
                perFolder, perFolder > 0 && perFolder <= 100 ? "MET" : "MISSED");
    return 0;
}
