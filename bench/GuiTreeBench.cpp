// The window against the command-line tool: opening a snapshot of 20,000 tracks in the
// Genre / Artist mode, until the tree stands, next to `quavero-scan` opening the same snapshot.
// Before it, the artist tree's filing at a million tracks grouped by album artist, next to the
// grouping by the track's artist alone (GroupByAlbumArtist=0, whose code is the one from before
// the grouping by album artist); `GuiTreeBench DATA-FOLDER --groups COUNT` runs that alone.
#include "app/QuavApp.h"
#include "bench/BenchCollection.h"
#include "bench/SyntheticSnapshot.h"
#include "catalog/CatalogGroups.h"
#include "catalog/CatalogView.h"
#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "frame/MainFrame.h"
#include "model/Mp3File.h"
#include "model/Mp3FileList.h"
#include "platform/IniProfile.h"
#include "settings/SettingsKeys.h"
#include "views/LeftView.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string_view>

namespace {

// Notes when the tree has been rebuilt: it is told before this view.
class CTreeReadyClock : public CView {
public:
    explicit CTreeReadyClock(CDocument& doc) : doc_(doc) { doc_.AddView(this); }
    ~CTreeReadyClock() override { doc_.RemoveView(this); }
    void OnUpdate(CView*, EHint hint, const TrackArray*) override {
        if (hint == EHint::RebuildEnd)
            ready = CBenchCollection::CpuSeconds();
    }
    double ready = 0;

private:
    CDocument& doc_;
};

double ToolSeconds(const std::string& scan, const std::string& profile, const std::string& dir) {
    return CBenchCollection::BestToolSeconds(5, {scan, "--no-save", dir},
                                             {"QUAVERO_PROFILE=" + profile});
}

// Albums of twelve tracks in folders of their own; a third of them name an album artist, one in
// twenty is a compilation, and one track in fifty names a guest beside its artist.
bool BenchGrouping(const std::string& data, int count) {
    const std::string folder = data + "/groups" + std::to_string(count);
    if (!std::filesystem::exists(folder))
        CSyntheticSnapshot::Write(folder, count, std::max(1, count / 120));
    CMp3FileList list;
    if (list.LoadSnapshot(folder) != CMp3FileList::ELoadResult::Loaded)
        return false;
    for (std::size_t i = 0; i < list.GetSize(); ++i) {
        CMp3File& track = *list.GetAt(i);
        const std::size_t album = i / 12;
        if (album % 3 == 0)
            track.SetAlbumArtist(std::string(track.Artist()));
        if (album % 20 == 1)
            track.SetCompilation(true);
        if (i % 50 == 7) {
            const std::string guest = "Guest " + std::to_string(i % 997);
            track.SetArtists({track.Artist(), std::string_view(guest)});
        }
    }
    CCatalogGroups groups;
    const auto file = [&](bool byAlbumArtist) {
        groups.SetOptions({.byAlbumArtist = byAlbumArtist,
                           .detectCompilations = true,
                           .ignoredArticles = "The;A;An;Les;Le;La;L'"});
        return CBenchCollection::BestSeconds(
            5, [&] { groups.File(list.Tracks(), EDisplayMode::Artist); });
    };
    const double before = file(false);
    const double now = file(true);
    std::printf("Artist tree: %zu tracks filed (%zu artist nodes grouped by album artist)\n",
                list.GetSize(), groups.Artists().size());
    CBenchCollection::PrintRow("artist tree by album artist", now, before, "< 1.5",
                               now / before < 1.5, "by track artist");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[2]) == "--groups")
        return BenchGrouping(argv[1], std::atoi(argv[3])) ? 0 : 1;
    if (argc < 3) {
        std::fprintf(stderr, "usage: GuiTreeBench DATA-FOLDER QUAVERO-SCAN\n"
                             "       GuiTreeBench DATA-FOLDER --groups COUNT\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string scan = argv[2];
    if (!BenchGrouping(data, 1000000))
        return 1;
    const std::string snapshot = data + "/gui20k";
    const std::string start = data + "/gui-empty";
    const std::string profilePath = data + "/gui-bench.ini";
    CSyntheticSnapshot::Write(snapshot, 20000, 1000);
    std::filesystem::create_directories(start);
    std::filesystem::remove(profilePath);
    CIniProfile profile(profilePath);
    profile.WriteString(SettingsKey::kSectionMp3, SettingsKey::kFilePath, start);
    profile.WriteInt(SettingsKey::kSectionUser, SettingsKey::kViewType, 1);
    setenv("QUAVERO_PROFILE", profilePath.c_str(), 1);

    const double tool = ToolSeconds(scan, profilePath, snapshot);

    int appArgc = 1;
    char name[] = "quavero";
    char* appArgv[] = {name, nullptr};
    CQuavApp app(appArgc, appArgv);
    if (!app.InitInstance())
        return 1;
    CMainFrame& frame = *app.Frame();
    CTreeReadyClock clock(*app.Document());
    const QString address = QString::fromStdString(snapshot);
    double window = 1e30;
    for (int run = 0; run < 3; ++run) {
        const double begin = CBenchCollection::CpuSeconds();
        frame.GoToAddress(address);
        window = std::min(window, clock.ready - begin);
    }
    const std::size_t nodes =
        static_cast<std::size_t>(frame.GetLeftView()->RootItem()->childCount());
    frame.close();

    std::printf("Window: a 20,000-track snapshot opened in Genre / Artist mode (%zu tracks, %zu "
                "genres)\n",
                app.Document()->GetTrackList().GetSize(), nodes);
    CBenchCollection::PrintRow("window open until the tree stands", window, tool, "< 1.5",
                               window / tool < 1.5);
    return 0;
}
