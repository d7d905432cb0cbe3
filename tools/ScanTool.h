#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CAppSettings;
class CQuavDoc;
class CStderrReporter;

// quavero-scan: opens an address exactly as the window does and prints its tracks or groups.
class CScanTool {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitNotFound = 1;
    static constexpr int kExitUsage = 2;
    static constexpr int kExitOutputFailed = 3; // standard output could not be written

    CScanTool();
    ~CScanTool();
    int Run(const std::vector<std::string>& arguments);

private:
    enum class EGroups { None, Artist, Genre, Album, AlbumArtist };
    enum class EAnswer { None, Help, Version }; // asked instead of an address

    static EGroups GroupKind(std::string_view kind);
    bool ParseArguments(const std::vector<std::string>& arguments);
    void PrintTracks(const CQuavDoc& doc);
    void PrintGroups(const CQuavDoc& doc) const;

    EAnswer answer_ = EAnswer::None;
    bool refresh_ = false;
    bool save_ = true;
    EGroups groups_ = EGroups::None;
    std::string address_;
    std::unique_ptr<CAppSettings> settings_;
    std::unique_ptr<CStderrReporter> reporter_;
    std::unique_ptr<CQuavDoc> doc_;
};
