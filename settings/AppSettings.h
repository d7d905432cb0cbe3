#pragma once

#include "settings/SettingsKeys.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class CIniProfile;

// Every setting of the application, read once at start-up and written back at three moments:
// after an address opened, when the options are confirmed, and at shut-down. The members are
// named after their profile keys (settings/SettingsKeys.h); the rest of the program reads and
// changes them in place.
class CAppSettings {
public:
    static constexpr char kDefaultIgnoredArticles[] = "The;A;An;Les;Le;La;L'";

    struct SShutdownState {
        int showLabels = 1;
        int viewType = 0;
        int displayAll = 0;
        std::vector<std::string> addressEntries;      // the address bar's list, first entry first
        int left = 0, top = 0, width = 0, height = 0; // the window's restored rectangle
        std::function<void(CIniProfile&)> writeColumnWidths;
        int coverPane = 1;
    };

    void LoadSettings(const CIniProfile& profile);
    void GetWindowSettings(int& width, int& height, int& left, int& top) const;

    // Records the last address opened; the member FilePath keeps the start-up address.
    static void WriteFilePath(CIniProfile& profile, const std::string& address);
    // The options sheet's settings; `writeColumns` stores the column layout, after which
    // ColumnsSettings becomes 1.
    void WriteOptions(CIniProfile& profile, const std::function<void(CIniProfile&)>& writeColumns);
    // The column layout alone, as WriteOptions writes it: what the list's header edits.
    void WriteColumns(CIniProfile& profile, const std::function<void(CIniProfile&)>& writeColumns);
    void WriteShutdown(CIniProfile& profile, const SShutdownState& state);

    int MinimizeToSystray = 0;
    int UseCachedCatalog = 0;
    int SecondarySortingColumn = 0;
    int DisplayAll = 0;
    int ColumnsSettings = 0;
    std::string FavoriteAddresses;
    int SortingColumn = 0;
    int DoubleClickAction = 0;
    int FullRowSelection = 0;
    int ViewType = 0;
    std::string FileExt;
    std::string FilePath;
    int ShowLabels = 0;
    std::array<std::string, SettingsKey::kAddressCount> Addresses;
    std::string CommandPlay;
    std::string CommandEnqueue;
    int MaxRow = 0;
    int ExactVbrTime = 1;
    int ReadId3v2 = 1;
    int WriteId3v2 = 1;
    // What of a snapshot is checked against the disk when it opens: 0 nothing, 1 its folders,
    // 2 its folders and files (ECheckLevel).
    int CheckForChanges = 1;
    // While the window is open, the folders of an address on a network share are looked at
    // every so many seconds; 0 never (as before, only the opens look).
    int PollSeconds = 60;
    // The artist tree by album artist (0: by the track's artist text, as before), the folder
    // rule for compilations, and the articles a sort name moves to its end.
    int GroupByAlbumArtist = 1;
    int DetectCompilations = 1;
    std::string IgnoredArticles = kDefaultIgnoredArticles;
    // The cover pane below the tree, and the albums' covers as the tree's icons.
    int CoverPane = 1;
    int TreeCovers = 1;
    int cx = 0, cy = 0, x = 0, y = 0;

private:
    void LoadMp3(const CIniProfile& profile);
    void LoadUserSettings(const CIniProfile& profile);
    void LoadAdvancedOptions(const CIniProfile& profile);
};
