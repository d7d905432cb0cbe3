#include "settings/AppSettings.h"

#include "platform/IniProfile.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cstdio>
#include <string>

using namespace SettingsKey;

namespace {

constexpr char kDefaultFileExt[] = "*.mp3";
constexpr int kDefaultShowLabels = 1;
constexpr int kDefaultWidth = 600;
constexpr int kDefaultHeight = 400;
constexpr int kDefaultLeft = 50;
constexpr int kDefaultTop = 50;
constexpr char kDefaultCommandPlay[] = "Play";
constexpr char kDefaultCommandEnqueue[] = "Enqueue";
constexpr int kDefaultMaxRow = 1000;
constexpr int kDefaultUseCachedCatalog = 1;
constexpr int kDefaultPollSeconds = 60;

std::string AddressKey(int index) {
    char key[32];
    std::snprintf(key, sizeof key, kAddressFormat, index);
    return key;
}

} // namespace

void CAppSettings::LoadSettings(const CIniProfile& profile) {
    LoadMp3(profile);
    LoadUserSettings(profile);
    LoadAdvancedOptions(profile);
}

void CAppSettings::LoadMp3(const CIniProfile& profile) {
    FilePath = profile.GetString(kSectionMp3, kFilePath, CPaths::MusicFolder());
    FileExt = profile.GetString(kSectionMp3, kFileExt, kDefaultFileExt);
}

void CAppSettings::LoadUserSettings(const CIniProfile& profile) {
    ShowLabels = profile.GetInt(kSectionUser, kShowLabels, kDefaultShowLabels);
    ViewType = profile.GetInt(kSectionUser, kViewType, 0);
    DisplayAll = profile.GetInt(kSectionUser, kDisplayAll, 0);
    for (int i = 0; i < kAddressCount; ++i)
        Addresses[static_cast<std::size_t>(i)] = profile.GetString(kSectionUser, AddressKey(i), "");
    cx = profile.GetInt(kSectionUser, kCx, kDefaultWidth);
    cy = profile.GetInt(kSectionUser, kCy, kDefaultHeight);
    x = profile.GetInt(kSectionUser, kX, kDefaultLeft);
    y = profile.GetInt(kSectionUser, kY, kDefaultTop);
    FullRowSelection = profile.GetInt(kSectionUser, kFullRowSelection, 0);
    DoubleClickAction = profile.GetInt(kSectionUser, kDoubleClickAction, 0);
    SortingColumn = profile.GetInt(kSectionUser, kSortingColumn, 0);
    SecondarySortingColumn = profile.GetInt(kSectionUser, kSecondarySortingColumn, 0);
    ColumnsSettings = profile.GetInt(kSectionUser, kColumnsSettings, 0);
    FavoriteAddresses = profile.GetString(kSectionUser, kFavoriteAddresses, "");
    // No favourites yet: "*" stands for the last address opened, in memory only.
    if (FavoriteAddresses.empty())
        FavoriteAddresses = FilePath;
}

void CAppSettings::LoadAdvancedOptions(const CIniProfile& profile) {
    CommandPlay = profile.GetString(kSectionAdvanced, kCommandPlay, kDefaultCommandPlay);
    CommandEnqueue = profile.GetString(kSectionAdvanced, kCommandEnqueue, kDefaultCommandEnqueue);
    MaxRow = profile.GetInt(kSectionAdvanced, kMaxRow, kDefaultMaxRow);
    UseCachedCatalog =
        profile.GetInt(kSectionAdvanced, kUseCachedCatalog, kDefaultUseCachedCatalog);
    MinimizeToSystray = profile.GetInt(kSectionAdvanced, kMinimizeToSystray, 0);
    ExactVbrTime = profile.GetInt(kSectionAdvanced, kExactVbrTime, 1);
    ReadId3v2 = profile.GetInt(kSectionAdvanced, kReadId3v2, 1);
    WriteId3v2 = profile.GetInt(kSectionAdvanced, kWriteId3v2, 1);
    CheckForChanges = profile.GetInt(kSectionAdvanced, kCheckForChanges, 1);
    PollSeconds = profile.GetInt(kSectionAdvanced, kPollSeconds, kDefaultPollSeconds);
    GroupByAlbumArtist = profile.GetInt(kSectionAdvanced, kGroupByAlbumArtist, 1);
    DetectCompilations = profile.GetInt(kSectionAdvanced, kDetectCompilations, 1);
    IgnoredArticles =
        profile.GetString(kSectionAdvanced, kIgnoredArticles, kDefaultIgnoredArticles);
    CoverPane = profile.GetInt(kSectionAdvanced, kCoverPane, 1);
    TreeCovers = profile.GetInt(kSectionAdvanced, kTreeCovers, 1);
}

void CAppSettings::GetWindowSettings(int& width, int& height, int& left, int& top) const {
    width = cx;
    height = cy;
    left = x;
    top = y;
}

void CAppSettings::WriteFilePath(CIniProfile& profile, const std::string& address) {
    profile.WriteString(kSectionMp3, kFilePath, address);
}

void CAppSettings::WriteOptions(CIniProfile& profile,
                                const std::function<void(CIniProfile&)>& writeColumns) {
    profile.WriteInt(kSectionUser, kFullRowSelection, FullRowSelection);
    profile.WriteInt(kSectionUser, kDoubleClickAction, DoubleClickAction);
    WriteColumns(profile, writeColumns);
    profile.WriteString(kSectionUser, kFavoriteAddresses, FavoriteAddresses);
    profile.WriteString(kSectionAdvanced, kCommandPlay, CommandPlay);
    profile.WriteString(kSectionAdvanced, kCommandEnqueue, CommandEnqueue);
    profile.WriteInt(kSectionAdvanced, kMaxRow, MaxRow);
    profile.WriteInt(kSectionAdvanced, kUseCachedCatalog, UseCachedCatalog);
    profile.WriteInt(kSectionAdvanced, kMinimizeToSystray, MinimizeToSystray);
    profile.WriteInt(kSectionAdvanced, kExactVbrTime, ExactVbrTime);
    profile.WriteInt(kSectionAdvanced, kReadId3v2, ReadId3v2);
    profile.WriteInt(kSectionAdvanced, kWriteId3v2, WriteId3v2);
    profile.WriteInt(kSectionAdvanced, kCheckForChanges, CheckForChanges);
    profile.WriteInt(kSectionAdvanced, kPollSeconds, PollSeconds);
    profile.WriteInt(kSectionAdvanced, kGroupByAlbumArtist, GroupByAlbumArtist);
    profile.WriteInt(kSectionAdvanced, kDetectCompilations, DetectCompilations);
    profile.WriteString(kSectionAdvanced, kIgnoredArticles, IgnoredArticles);
    profile.WriteInt(kSectionAdvanced, kTreeCovers, TreeCovers);
}

void CAppSettings::WriteColumns(CIniProfile& profile,
                                const std::function<void(CIniProfile&)>& writeColumns) {
    if (writeColumns)
        writeColumns(profile);
    ColumnsSettings = 1;
    profile.WriteInt(kSectionUser, kColumnsSettings, ColumnsSettings);
}

void CAppSettings::WriteShutdown(CIniProfile& profile, const SShutdownState& state) {
    ShowLabels = state.showLabels;
    ViewType = state.viewType;
    DisplayAll = state.displayAll;
    profile.WriteInt(kSectionUser, kShowLabels, ShowLabels);
    profile.WriteInt(kSectionUser, kViewType, ViewType);
    profile.WriteInt(kSectionUser, kDisplayAll, DisplayAll);
    profile.WriteInt(kSectionUser, kSortingColumn, SortingColumn);
    profile.WriteInt(kSectionUser, kSecondarySortingColumn, SecondarySortingColumn);
    if (state.writeColumnWidths)
        state.writeColumnWidths(profile);
    const std::size_t count = std::min(state.addressEntries.size(), Addresses.size());
    for (std::size_t i = 0; i < count; ++i) {
        Addresses[i] = state.addressEntries[i];
        profile.WriteString(kSectionUser, AddressKey(static_cast<int>(i)), Addresses[i]);
    }
    cx = state.width;
    cy = state.height;
    x = state.left;
    y = state.top;
    profile.WriteInt(kSectionUser, kCx, cx);
    profile.WriteInt(kSectionUser, kCy, cy);
    profile.WriteInt(kSectionUser, kX, x);
    profile.WriteInt(kSectionUser, kY, y);
    CoverPane = state.coverPane;
    profile.WriteInt(kSectionAdvanced, kCoverPane, CoverPane);
}
