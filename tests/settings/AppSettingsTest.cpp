#include "settings/AppSettings.h"
#include "platform/IniProfile.h"
#include "settings/SettingsKeys.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

// A home folder with a music folder and no desktop configuration, so the defaults are known.
class AppSettings : public ::testing::Test {
protected:
    CTempDir dir;
    CScopedEnv home{"HOME", (dir / "home").c_str()};
    CScopedEnv config{"XDG_CONFIG_HOME", (dir / "config").c_str()};
    CScopedEnv music{"XDG_MUSIC_DIR", nullptr};
    const std::string musicFolder = dir.MakeDir("home/Music");
    const std::string path = dir / "quavero.ini";

    CAppSettings Load() const {
        CAppSettings settings;
        settings.LoadSettings(CIniProfile(path));
        return settings;
    }
};

constexpr char kEveryKey[] = "[MP3]\n"
                             "FilePath=/data/music\n"
                             "FileExt=*.mp2\n"
                             "[User settings]\n"
                             "ShowLabels=0\n"
                             "ViewType=2\n"
                             "DisplayAll=1\n"
                             "Address0=/a\n"
                             "Address1=/b c\n"
                             "Address2=\n"
                             "Address3=*\n"
                             "Address4=/e\n"
                             "cx=800\n"
                             "cy=-600\n"
                             "x=12\n"
                             "y=34\n"
                             "FullRowSelection=1\n"
                             "DoubleClickAction=2\n"
                             "SortingColumn=-3\n"
                             "SecondarySortingColumn=14\n"
                             "ColumnsSettings=1\n"
                             "FavoriteAddresses=/a;/b c\n"
                             "[AdvancedOptions]\n"
                             "CommandPlay=vlc %f\n"
                             "CommandEnqueue=Add to queue\n"
                             "MaxRow=250\n"
                             "UseCachedCatalog=0\n"
                             "MinimizeToSystray=1\n";

} // namespace

TEST_F(AppSettings, DefaultsWithoutAFile) {
    const CAppSettings settings = Load();
    EXPECT_EQ(settings.FilePath, musicFolder);
    EXPECT_EQ(settings.FileExt, "*.mp3");
    EXPECT_EQ(settings.ShowLabels, 1);
    EXPECT_EQ(settings.ViewType, 0);
    EXPECT_EQ(settings.DisplayAll, 0);
    for (const std::string& address : settings.Addresses)
        EXPECT_EQ(address, "");
    int width = 0, height = 0, left = 0, top = 0;
    settings.GetWindowSettings(width, height, left, top);
    EXPECT_EQ(width, 600);
    EXPECT_EQ(height, 400);
    EXPECT_EQ(left, 50);
    EXPECT_EQ(top, 50);
    EXPECT_EQ(settings.FullRowSelection, 0);
    EXPECT_EQ(settings.DoubleClickAction, 0);
    EXPECT_EQ(settings.SortingColumn, 0);
    EXPECT_EQ(settings.SecondarySortingColumn, 0);
    EXPECT_EQ(settings.ColumnsSettings, 0);
    EXPECT_EQ(settings.FavoriteAddresses, musicFolder);
    EXPECT_EQ(settings.CommandPlay, "Play");
    EXPECT_EQ(settings.CommandEnqueue, "Enqueue");
    EXPECT_EQ(settings.MaxRow, 1000);
    EXPECT_EQ(settings.UseCachedCatalog, 1);
    EXPECT_EQ(settings.MinimizeToSystray, 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(AppSettings, ReadsEveryKey) {
    dir.Write("quavero.ini", kEveryKey);
    const CAppSettings settings = Load();
    EXPECT_EQ(settings.FilePath, "/data/music");
    EXPECT_EQ(settings.FileExt, "*.mp2");
    EXPECT_EQ(settings.ShowLabels, 0);
    EXPECT_EQ(settings.ViewType, 2);
    EXPECT_EQ(settings.DisplayAll, 1);
    const std::array<std::string, 5> addresses{"/a", "/b c", "", "*", "/e"};
    EXPECT_EQ(settings.Addresses, addresses);
    int width = 0, height = 0, left = 0, top = 0;
    settings.GetWindowSettings(width, height, left, top);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, -600) << "values are not validated on reading";
    EXPECT_EQ(left, 12);
    EXPECT_EQ(top, 34);
    EXPECT_EQ(settings.FullRowSelection, 1);
    EXPECT_EQ(settings.DoubleClickAction, 2);
    EXPECT_EQ(settings.SortingColumn, -3);
    EXPECT_EQ(settings.SecondarySortingColumn, 14);
    EXPECT_EQ(settings.ColumnsSettings, 1);
    EXPECT_EQ(settings.FavoriteAddresses, "/a;/b c");
    EXPECT_EQ(settings.CommandPlay, "vlc %f");
    EXPECT_EQ(settings.CommandEnqueue, "Add to queue");
    EXPECT_EQ(settings.MaxRow, 250);
    EXPECT_EQ(settings.UseCachedCatalog, 0);
    EXPECT_EQ(settings.MinimizeToSystray, 1);
}

TEST_F(AppSettings, EmptyFavouritesStandForTheLastAddressInMemoryOnly) {
    const std::string absent = "[MP3]\nFilePath=/last/opened\n";
    dir.Write("quavero.ini", absent);
    EXPECT_EQ(Load().FavoriteAddresses, "/last/opened");
    EXPECT_EQ(ReadFileBytes(path), absent);

    const std::string empty = absent + "[User settings]\nFavoriteAddresses=\n";
    dir.Write("quavero.ini", empty);
    EXPECT_EQ(Load().FavoriteAddresses, "/last/opened");
    EXPECT_EQ(ReadFileBytes(path), empty);
}

TEST_F(AppSettings, OpenedAddressIsWrittenButTheMemberKeepsTheStartAddress) {
    dir.Write("quavero.ini", kEveryKey);
    CIniProfile profile(path);
    CAppSettings settings;
    settings.LoadSettings(profile);
    CAppSettings::WriteFilePath(profile, "/other/place");
    EXPECT_EQ(settings.FilePath, "/data/music");
    EXPECT_EQ(Load().FilePath, "/other/place");
}

TEST_F(AppSettings, SortKeysSurviveShutdownAndStart) {
    CAppSettings settings = Load();
    settings.SortingColumn = -3;
    settings.SecondarySortingColumn = 7;
    CIniProfile profile(path);
    settings.WriteShutdown(profile, {});
    const CAppSettings again = Load();
    EXPECT_EQ(again.SortingColumn, -3);
    EXPECT_EQ(again.SecondarySortingColumn, 7);
    EXPECT_NE(ReadFileBytes(path).find("\nSortingColumn=-3\n"), std::string::npos);
}

TEST_F(AppSettings, ShutdownRewritesOnlyTheListedAddresses) {
    dir.Write("quavero.ini", kEveryKey);
    CAppSettings settings = Load();
    CIniProfile profile(path);
    CAppSettings::SShutdownState state;
    state.addressEntries = {"/new0", "/new1", "/new2"};
    settings.WriteShutdown(profile, state);
    const std::array<std::string, 5> expected{"/new0", "/new1", "/new2", "*", "/e"};
    EXPECT_EQ(settings.Addresses, expected);
    EXPECT_EQ(Load().Addresses, expected);

    state.addressEntries = {"1", "2", "3", "4", "5", "6", "7"};
    settings.WriteShutdown(profile, state);
    EXPECT_EQ(Load().Addresses, (std::array<std::string, 5>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(CIniProfile(path).GetString("User settings", "Address5", "-"), "-");
}

TEST_F(AppSettings, WindowRectangleIsSavedAsPositionAndSize) {
    CAppSettings settings = Load();
    CIniProfile profile(path);
    CAppSettings::SShutdownState state;
    state.left = 100;
    state.top = 200;
    state.width = 640;
    state.height = 480;
    state.showLabels = 0;
    state.viewType = 1;
    state.displayAll = 1;
    settings.WriteShutdown(profile, state);
    EXPECT_EQ(settings.x, 100);
    EXPECT_EQ(settings.ViewType, 1);
    const CAppSettings again = Load();
    int width = 0, height = 0, left = 0, top = 0;
    again.GetWindowSettings(width, height, left, top);
    EXPECT_EQ(left, 100);
    EXPECT_EQ(top, 200);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(again.ShowLabels, 0);
    EXPECT_EQ(again.ViewType, 1);
    EXPECT_EQ(again.DisplayAll, 1);
}

TEST_F(AppSettings, OptionsAreWrittenInOrder) {
    CAppSettings settings = Load();
    settings.FullRowSelection = 1;
    settings.DoubleClickAction = 2;
    settings.FavoriteAddresses = "/a;/b";
    settings.CommandPlay = "Open";
    settings.MaxRow = 500;
    settings.UseCachedCatalog = 0;
    settings.MinimizeToSystray = 1;
    bool columnsWritten = false;
    CIniProfile profile(path);
    settings.WriteOptions(profile, [&](CIniProfile& columns) {
        // Another reader of the file sees what came before the columns and nothing after.
        const CIniProfile onDisk(path);
        EXPECT_EQ(onDisk.GetInt("User settings", "FullRowSelection", -1), 1);
        EXPECT_EQ(onDisk.GetInt("User settings", "DoubleClickAction", -1), 2);
        EXPECT_EQ(onDisk.GetInt("User settings", "ColumnsSettings", -1), -1);
        EXPECT_EQ(onDisk.GetString("User settings", "FavoriteAddresses", "-"), "-");
        EXPECT_EQ(onDisk.GetString("AdvancedOptions", "CommandPlay", "-"), "-");
        columns.WriteInt("Column1", SettingsKey::kColumnAlignment, 0);
        columnsWritten = true;
    });
    EXPECT_TRUE(columnsWritten);
    EXPECT_EQ(settings.ColumnsSettings, 1);
    // New keys go to the end of their section, so the file shows the order of the writes.
    EXPECT_EQ(ReadFileBytes(path), "[User settings]\n"
                                   "FullRowSelection=1\n"
                                   "DoubleClickAction=2\n"
                                   "ColumnsSettings=1\n"
                                   "FavoriteAddresses=/a;/b\n"
                                   "\n"
                                   "[Column1]\n"
                                   "Alignment=0\n"
                                   "\n"
                                   "[AdvancedOptions]\n"
                                   "CommandPlay=Open\n"
                                   "CommandEnqueue=Enqueue\n"
                                   "MaxRow=500\n"
                                   "UseCachedCatalog=0\n"
                                   "MinimizeToSystray=1\n");
}

TEST_F(AppSettings, ShutdownIsWrittenInOrder) {
    CAppSettings settings = Load();
    settings.SortingColumn = 2;
    settings.SecondarySortingColumn = -5;
    CAppSettings::SShutdownState state;
    state.showLabels = 0;
    state.viewType = 2;
    state.displayAll = 1;
    state.addressEntries = {"/x", "/y"};
    state.left = 1;
    state.top = 2;
    state.width = 3;
    state.height = 4;
    bool widthsWritten = false;
    state.writeColumnWidths = [&](CIniProfile& columns) {
        const CIniProfile onDisk(path);
        EXPECT_EQ(onDisk.GetInt("User settings", "ShowLabels", -1), 0);
        EXPECT_EQ(onDisk.GetInt("User settings", "SecondarySortingColumn", 0), -5);
        EXPECT_EQ(onDisk.GetString("User settings", "Address0", "-"), "-");
        EXPECT_EQ(onDisk.GetInt("User settings", "cx", -1), -1);
        columns.WriteInt("Column2", SettingsKey::kColumnWidth, 120);
        widthsWritten = true;
    };
    CIniProfile profile(path);
    settings.WriteShutdown(profile, state);
    EXPECT_TRUE(widthsWritten);
    EXPECT_EQ(ReadFileBytes(path), "[User settings]\n"
                                   "ShowLabels=0\n"
                                   "ViewType=2\n"
                                   "DisplayAll=1\n"
                                   "SortingColumn=2\n"
                                   "SecondarySortingColumn=-5\n"
                                   "Address0=/x\n"
                                   "Address1=/y\n"
                                   "cx=3\n"
                                   "cy=4\n"
                                   "x=1\n"
                                   "y=2\n"
                                   "\n"
                                   "[Column2]\n"
                                   "Width=120\n");
}
