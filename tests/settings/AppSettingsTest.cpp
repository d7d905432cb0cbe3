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
                             "MinimizeToSystray=1\n"
                             "ExactVbrTime=0\n"
                             "ReadId3v2=0\n"
                             "WriteId3v2=0\n"
                             "PollSeconds=5\n"
                             "GroupByAlbumArtist=0\n"
                             "DetectCompilations=0\n"
                             "IgnoredArticles=Der;Die\n";

} // namespace

// One row per setting member: its value without a file and its value read from kEveryKey.
template <class T>
struct SMemberCase {
    const char* key;
    T CAppSettings::*member;
    T byDefault;
    T read;
};

const SMemberCase<int> kIntMembers[] = {
    {"ShowLabels", &CAppSettings::ShowLabels, 1, 0},
    {"ViewType", &CAppSettings::ViewType, 0, 2},
    {"DisplayAll", &CAppSettings::DisplayAll, 0, 1},
    {"FullRowSelection", &CAppSettings::FullRowSelection, 0, 1},
    {"DoubleClickAction", &CAppSettings::DoubleClickAction, 0, 2},
    {"SortingColumn", &CAppSettings::SortingColumn, 0, -3},
    {"SecondarySortingColumn", &CAppSettings::SecondarySortingColumn, 0, 14},
    {"ColumnsSettings", &CAppSettings::ColumnsSettings, 0, 1},
    {"MaxRow", &CAppSettings::MaxRow, 1000, 250},
    {"UseCachedCatalog", &CAppSettings::UseCachedCatalog, 1, 0},
    {"MinimizeToSystray", &CAppSettings::MinimizeToSystray, 0, 1},
    {"ExactVbrTime", &CAppSettings::ExactVbrTime, 1, 0},
    {"ReadId3v2", &CAppSettings::ReadId3v2, 1, 0},
    {"WriteId3v2", &CAppSettings::WriteId3v2, 1, 0},
    {"PollSeconds", &CAppSettings::PollSeconds, 60, 5},
    {"GroupByAlbumArtist", &CAppSettings::GroupByAlbumArtist, 1, 0},
    {"DetectCompilations", &CAppSettings::DetectCompilations, 1, 0},
};

const SMemberCase<std::string> kTextMembers[] = {
    {"FileExt", &CAppSettings::FileExt, "*.mp3", "*.mp2"},
    {"CommandPlay", &CAppSettings::CommandPlay, "Play", "vlc %f"},
    {"CommandEnqueue", &CAppSettings::CommandEnqueue, "Enqueue", "Add to queue"},
    {"IgnoredArticles", &CAppSettings::IgnoredArticles, "The;A;An;Les;Le;La;L'", "Der;Die"},
};

struct SWindow {
    int width = 0, height = 0, left = 0, top = 0;
    bool operator==(const SWindow&) const = default;
};

SWindow Window(const CAppSettings& settings) {
    SWindow window;
    settings.GetWindowSettings(window.width, window.height, window.left, window.top);
    return window;
}

TEST_F(AppSettings, DefaultsWithoutAFileAndEveryKeyRead) {
    const CAppSettings defaults = Load();
    EXPECT_FALSE(std::filesystem::exists(path)) << "reading writes nothing";
    dir.Write("quavero.ini", kEveryKey);
    const CAppSettings read = Load();
    for (const auto& row : kIntMembers) {
        EXPECT_EQ(defaults.*row.member, row.byDefault) << row.key;
        EXPECT_EQ(read.*row.member, row.read) << row.key;
    }
    for (const auto& row : kTextMembers) {
        EXPECT_EQ(defaults.*row.member, row.byDefault) << row.key;
        EXPECT_EQ(read.*row.member, row.read) << row.key;
    }
    EXPECT_EQ(defaults.FilePath, musicFolder);
    EXPECT_EQ(defaults.FavoriteAddresses, musicFolder);
    EXPECT_EQ(defaults.Addresses, (std::array<std::string, 5>{}));
    EXPECT_EQ(Window(defaults), (SWindow{600, 400, 50, 50}));

    EXPECT_EQ(read.FilePath, "/data/music");
    EXPECT_EQ(read.FavoriteAddresses, "/a;/b c");
    EXPECT_EQ(read.Addresses, (std::array<std::string, 5>{"/a", "/b c", "", "*", "/e"}));
    EXPECT_EQ(Window(read), (SWindow{800, -600, 12, 34})) << "values are not validated on reading";
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
    settings.ExactVbrTime = 0;
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
                                   "MinimizeToSystray=1\n"
                                   "ExactVbrTime=0\n"
                                   "ReadId3v2=1\n"
                                   "WriteId3v2=1\n"
                                   "CheckForChanges=1\n"
                                   "PollSeconds=60\n"
                                   "GroupByAlbumArtist=1\n"
                                   "DetectCompilations=1\n"
                                   "IgnoredArticles=The;A;An;Les;Le;La;L'\n"
                                   "TreeCovers=1\n");
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
                                   "Width=120\n"
                                   "\n"
                                   "[AdvancedOptions]\n"
                                   "CoverPane=1\n");
}
