// The window against the command-line tool: opening a snapshot of 20,000 tracks in the
// Genre / Artist mode, until the tree stands, next to `quavero-scan` opening the same snapshot.
#include "app/QuavApp.h"
#include "bench/BenchCollection.h"
#include "bench/SyntheticSnapshot.h"
#include "catalog/CatalogView.h"
#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "frame/MainFrame.h"
#include "platform/IniProfile.h"
#include "settings/SettingsKeys.h"
#include "views/LeftView.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

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

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: GuiTreeBench DATA-FOLDER QUAVERO-SCAN\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string scan = argv[2];
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
