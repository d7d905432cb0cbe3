#include "platform/IniProfile.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

} // namespace

TEST(IniProfile, MissingFileGivesDefaultsAndReadsCreateNothing) {
    CTempDir dir;
    const CIniProfile profile(dir / "none/quavero.ini");
    EXPECT_EQ(profile.GetInt("MP3", "MaxRow", 1000), 1000);
    EXPECT_EQ(profile.GetString("MP3", "FileExt", "*.mp3"), "*.mp3");
    EXPECT_FALSE(fs::exists(dir / "none"));
}

TEST(IniProfile, NamesIgnoreCaseAndValuesStayVerbatim) {
    CTempDir dir;
    const std::string path = dir.Write("p.ini", "Loose=outside any section\n"
                                                "[user SETTINGS]\n"
                                                "  sortingColumn =  -12abc  \n"
                                                "Name= spaced value \n"
                                                "Name=second\n"
                                                "; Hidden=1\n"
                                                "  # Other=2\n"
                                                "just text\n"
                                                "Empty=\n"
                                                "[ Other ] trailing words\n"
                                                "Name=other\r\n"
                                                "Last=no line end");
    const CIniProfile profile(path);
    EXPECT_EQ(profile.GetString("User settings", "SORTINGCOLUMN", "-"), "  -12abc  ");
    EXPECT_EQ(profile.GetInt("User settings", "SortingColumn", 5), -12);
    EXPECT_EQ(profile.GetString("User settings", "name", "-"), " spaced value ");
    EXPECT_EQ(profile.GetString("User settings", "Empty", "-"), "");
    EXPECT_EQ(profile.GetInt("User settings", "Hidden", 7), 7);
    EXPECT_EQ(profile.GetInt("User settings", "Other", 7), 7);
    EXPECT_EQ(profile.GetString("User settings", "Loose", "-"), "-");
    EXPECT_EQ(profile.GetString("other", "Name", "-"), "other");
    EXPECT_EQ(profile.GetString("Other", "Last", "-"), "no line end");
    EXPECT_EQ(profile.GetString("Missing", "Name", "-"), "-");
}

TEST(IniProfile, IntegersReadLikeTheClassicProfileCall) {
    EXPECT_EQ(CIniProfile::ParseInt("  -12abc", 9), -12);
    EXPECT_EQ(CIniProfile::ParseInt("abc", 9), 0);
    EXPECT_EQ(CIniProfile::ParseInt("-", 9), 0);
    EXPECT_EQ(CIniProfile::ParseInt("0x10", 9), 0);
    EXPECT_EQ(CIniProfile::ParseInt("+7", 9), 7);
    EXPECT_EQ(CIniProfile::ParseInt("\t42 43", 9), 42);
    EXPECT_EQ(CIniProfile::ParseInt("", 9), 9);
    EXPECT_EQ(CIniProfile::ParseInt("   ", 9), 9);
    EXPECT_EQ(CIniProfile::ParseInt("99999999999999999999", 9), INT_MAX);
    EXPECT_EQ(CIniProfile::ParseInt("-2147483648", 9), INT_MIN);

    CTempDir dir;
    CIniProfile profile(dir / "p.ini");
    ASSERT_TRUE(profile.WriteInt("User settings", "SortingColumn", -3));
    ASSERT_TRUE(profile.WriteInt("User settings", "MaxRow", INT_MIN));
    EXPECT_EQ(ReadFileBytes(dir / "p.ini"),
              "[User settings]\nSortingColumn=-3\nMaxRow=-2147483648\n");
    EXPECT_EQ(CIniProfile(dir / "p.ini").GetInt("User settings", "SortingColumn", 0), -3);
    EXPECT_EQ(CIniProfile(dir / "p.ini").GetInt("User settings", "MaxRow", 0), INT_MIN);
}

TEST(IniProfile, WriteChangesOnlyTheWrittenLine) {
    const std::string original = "; Quavero settings, edited by hand\n"
                                 "\n"
                                 "[mp3]\n"
                                 "  filePATH =  /old/place  \n"
                                 "Unknown line without equals\n"
                                 "FileExt=*.mp2\n"
                                 "\n"
                                 "; about the next section\n"
                                 "[User Settings]\t\n"
                                 "x=1";
    CTempDir dir;
    const std::string path = dir.Write("p.ini", original);
    CIniProfile profile(path);
    EXPECT_EQ(profile.GetString("MP3", "FilePath", "-"), "  /old/place  ");

    ASSERT_TRUE(profile.WriteString("MP3", "FilePath", "/new place"));
    std::string expected = original;
    expected.replace(expected.find("  /old/place  "), 14, "/new place");
    EXPECT_EQ(ReadFileBytes(path), expected);

    ASSERT_TRUE(profile.WriteString("MP3", "Added", "a"));
    expected.insert(expected.find("FileExt=*.mp2\n") + 14, "Added=a\n");
    EXPECT_EQ(ReadFileBytes(path), expected);

    ASSERT_TRUE(profile.WriteInt("user settings", "y", 5));
    expected += "\ny=5\n";
    EXPECT_EQ(ReadFileBytes(path), expected);

    ASSERT_TRUE(profile.WriteInt("Column3", "Width", 80));
    expected += "\n[Column3]\nWidth=80\n";
    EXPECT_EQ(ReadFileBytes(path), expected);

    EXPECT_EQ(profile.GetString("Mp3", "FILEPATH", "-"), "/new place");
    EXPECT_EQ(profile.GetInt("column3", "width", 0), 80);
}

TEST(IniProfile, CrLfFilesKeepTheirLineEnds) {
    CTempDir dir;
    const std::string path = dir.Write("p.ini", "[MP3]\r\nFilePath=/a\r\n");
    CIniProfile profile(path);
    EXPECT_EQ(profile.GetString("MP3", "FilePath", "-"), "/a");
    ASSERT_TRUE(profile.WriteString("MP3", "FilePath", "/b"));
    ASSERT_TRUE(profile.WriteString("MP3", "FileExt", "*.mp3"));
    ASSERT_TRUE(profile.WriteInt("Other", "k", 1));
    EXPECT_EQ(ReadFileBytes(path),
              "[MP3]\r\nFilePath=/b\r\nFileExt=*.mp3\r\n\r\n[Other]\r\nk=1\r\n");
}

TEST(IniProfile, RefusesWhatALineCannotHold) {
    CTempDir dir;
    CIniProfile profile(dir / "p.ini");
    EXPECT_FALSE(profile.WriteString("MP3", "FilePath", "two\nlines"));
    EXPECT_FALSE(profile.WriteString("MP3", "File=Path", "v"));
    EXPECT_FALSE(profile.WriteString("MP]3", "FilePath", "v"));
    EXPECT_FALSE(profile.WriteString("MP3", "", "v"));
    EXPECT_FALSE(profile.WriteString("MP3", ";Path", "v"));
    EXPECT_FALSE(fs::exists(dir / "p.ini"));
}

TEST(IniProfile, EachWriteStartsFromTheFileOnDisk) {
    CTempDir dir;
    CIniProfile first(dir / "p.ini");
    CIniProfile second(dir / "p.ini");
    ASSERT_TRUE(first.WriteString("MP3", "FilePath", "/one"));
    ASSERT_TRUE(second.WriteInt("User settings", "cx", 640));
    EXPECT_EQ(second.GetString("MP3", "FilePath", "-"), "/one");
    ASSERT_TRUE(first.WriteInt("User settings", "cy", 480));
    EXPECT_EQ(first.GetInt("User settings", "cx", 0), 640);
    EXPECT_EQ(ReadFileBytes(dir / "p.ini"),
              "[MP3]\nFilePath=/one\n\n[User settings]\ncx=640\ncy=480\n");
}

TEST(IniProfile, WritesReplaceTheFileAtomically) {
    CTempDir dir;
    const std::string path = dir / "deep/er/quavero.ini";
    CIniProfile profile(path);
    ASSERT_TRUE(profile.WriteString("MP3", "FilePath", "/old"));
    EXPECT_EQ(Entries(dir / "deep/er"), std::vector<std::string>{"quavero.ini"});

    // A reader holding the old file keeps reading the old text: the file was replaced whole.
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    std::ifstream reader(path, std::ios::binary);
    ASSERT_TRUE(profile.WriteString("MP3", "FilePath", "/new"));
    const std::string seen((std::istreambuf_iterator<char>(reader)),
                           std::istreambuf_iterator<char>());
    EXPECT_EQ(seen, "[MP3]\nFilePath=/old\n");
    EXPECT_EQ(ReadFileBytes(path), "[MP3]\nFilePath=/new\n");
    EXPECT_EQ(Entries(dir / "deep/er"), std::vector<std::string>{"quavero.ini"});
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(IniProfile, ALinkedProfileStaysALink) {
    CTempDir dir;
    const std::string target = dir.Write("dotfiles/quavero.ini", "[MP3]\nFilePath=/a\n");
    fs::create_directories(dir / "config");
    fs::create_symlink(target, dir / "config/quavero.ini");
    CIniProfile profile(dir / "config/quavero.ini");
    ASSERT_TRUE(profile.WriteString("MP3", "FilePath", "/b"));
    EXPECT_TRUE(fs::is_symlink(dir / "config/quavero.ini"));
    EXPECT_EQ(ReadFileBytes(target), "[MP3]\nFilePath=/b\n");
    EXPECT_EQ(Entries(dir / "dotfiles"), std::vector<std::string>{"quavero.ini"});
}

TEST(IniProfile, FailedWritesLeaveTheOldFile) {
    CTempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    const std::string text = "[MP3]\nFilePath=/kept\n";
    const std::string locked = dir.Write("locked/p.ini", text);
    const std::string hidden = dir.Write("open/hidden.ini", text);
    // The user's own profile made read-only: frozen, though the folder would take a new file.
    const std::string frozen = dir.Write("open/frozen.ini", text);
    ::chmod((dir / "locked").c_str(), 0555);
    ::chmod(locked.c_str(), 0644);
    ::chmod((dir / "open").c_str(), 0777);
    ::chmod(hidden.c_str(), 0);
    ASSERT_EQ(::chown(frozen.c_str(), 65534, 65534), 0);
    ::chmod(frozen.c_str(), 0444);
    const EChildResult result = RunAsNobody([&] {
        CIniProfile inLockedFolder(locked);
        const bool lockedOk = inLockedFolder.GetString("MP3", "FilePath", "-") == "/kept" &&
                              !inLockedFolder.WriteString("MP3", "FilePath", "/lost") &&
                              inLockedFolder.GetString("MP3", "FilePath", "-") == "/kept";
        CIniProfile unreadable(hidden);
        CIniProfile readOnly(frozen);
        return lockedOk && unreadable.GetString("MP3", "FilePath", "-") == "-" &&
               !unreadable.WriteString("MP3", "FilePath", "/lost") &&
               !readOnly.WriteString("MP3", "FilePath", "/lost") &&
               readOnly.GetString("MP3", "FilePath", "-") == "/kept";
    });
    if (result == EChildResult::Skipped)
        GTEST_SKIP() << "cannot drop privileges here";
    EXPECT_EQ(result, EChildResult::Passed);
    EXPECT_EQ(ReadFileBytes(locked), text);
    EXPECT_EQ(Entries(dir / "locked"), std::vector<std::string>{"p.ini"});
    EXPECT_EQ(ReadFileBytes(hidden), text);
    EXPECT_EQ(ReadFileBytes(frozen), text);
    auto names = Entries(dir / "open");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"frozen.ini", "hidden.ini"}));
}

// The classic lost update: both read, both rename, one set of keys is gone.
TEST(IniProfile, ConcurrentWritersKeepEveryKey) {
    CTempDir dir;
    const std::string path = dir / "p.ini";
    constexpr int kKeys = 200;
    const EChildResult result = RunTogether(2, [&](int writer) {
        CIniProfile profile(path);
        for (int i = 0; i < kKeys; ++i) {
            if (!profile.WriteInt("Keys", std::to_string(writer) + "_" + std::to_string(i), i))
                return false;
        }
        return true;
    });
    EXPECT_EQ(result, EChildResult::Passed);
    const CIniProfile profile(path);
    int kept = 0;
    for (const char* writer : {"0_", "1_"})
        for (int i = 0; i < kKeys; ++i)
            kept += profile.GetInt("Keys", writer + std::to_string(i), -1) == i ? 1 : 0;
    EXPECT_EQ(kept, 2 * kKeys);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"p.ini"});
}

TEST(IniProfile, AWriteKeepsOwnerModeAndEveryName) {
    CTempDir dir;
    const std::string owned = dir.Write("owned.ini", "[MP3]\nFilePath=/a\n");
    ASSERT_EQ(::chown(owned.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(owned.c_str(), 0640), 0);
    ASSERT_TRUE(CIniProfile(owned).WriteString("MP3", "FilePath", "/b"));
    struct stat st {};
    ASSERT_EQ(::stat(owned.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string linked = dir.Write("linked.ini", "[MP3]\nFilePath=/a\n");
    fs::create_hard_link(linked, dir / "other name.ini");
    ASSERT_TRUE(CIniProfile(linked).WriteString("MP3", "FilePath", "/both"));
    EXPECT_EQ(ReadFileBytes(dir / "other name.ini"), "[MP3]\nFilePath=/both\n");
    EXPECT_EQ(fs::hard_link_count(linked), 2u);
}

TEST(IniProfile, AByteOrderMarkIsPassedOverAndKept) {
    CTempDir dir;
    const std::string path = dir.Write("p.ini", "\xEF\xBB\xBF[MP3]\r\nFilePath=/a\r\n");
    CIniProfile profile(path);
    EXPECT_EQ(profile.GetString("MP3", "FilePath", "-"), "/a");
    ASSERT_TRUE(profile.WriteString("MP3", "FileExt", "*.mp2"));
    EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF[MP3]\r\nFilePath=/a\r\nFileExt=*.mp2\r\n");
}
