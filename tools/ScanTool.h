#pragma once

#include <cstdio>
#include <string>
#include <vector>

class CQuavDoc;

// quavero-scan: opens an address exactly as the window does and prints its tracks or groups.
class CScanTool {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitNotFound = 1;
    static constexpr int kExitUsage = 2;

    int Run(const std::vector<std::string>& arguments);

private:
    enum class EGroups { None, Artist, Genre, Album };

    bool ParseArguments(const std::vector<std::string>& arguments);
    void PrintTracks(const CQuavDoc& doc) const;
    void PrintGroups(const CQuavDoc& doc) const;

    bool refresh_ = false;
    bool save_ = true;
    EGroups groups_ = EGroups::None;
    std::string address_;
};
