#pragma once

#include "catalog/QuavDoc.h"
#include "platform/IniProfile.h"
#include "settings/AppSettings.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A catalog document on a temporary folder, with its own profile file and default settings.
class CCatalogFixture : public ::testing::Test {
protected:
    CCatalogFixture() : profile(dir / "quavero.ini") { settings.LoadSettings(profile); }

    // A small track: a 128 kbit/s frame, `extra` filler bytes and a tag.
    std::string Track(const std::string& relative, const std::string& artist,
                      const std::string& album = "Album", std::uint8_t genre = 13,
                      std::size_t extra = 200);

    std::vector<std::string> FileNames(const CQuavDoc& doc) const;
    std::vector<std::string> RelativePaths(const CQuavDoc& doc) const;

    CTempDir dir;
    CIniProfile profile;
    CAppSettings settings;
    CRecordingReporter reporter;
};
