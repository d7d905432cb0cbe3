#include "catalog/Address.h"
#include "catalog/AddressKind.h"
#include "catalog/FilePattern.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(Address, Normalise) {
    EXPECT_EQ(CAddress::Normalise("My favorite addresses"), "*");
    EXPECT_EQ(CAddress::Normalise("*"), "*");
    EXPECT_EQ(CAddress::Normalise("/music/"), "/music");
    EXPECT_EQ(CAddress::Normalise("/music//"), "/music/") << "only one trailing / goes";
    EXPECT_EQ(CAddress::Normalise("/"), "/");
    EXPECT_EQ(CAddress::Normalise(" /Music "), " /Music ") << "no trimming, no case change";
}

TEST(Address, TitleAndKind) {
    std::string title;
    EAddressKind kind = EAddressKind::None;
    CAddress::Describe("*", title, kind);
    EXPECT_EQ(title, "My favorite addresses");
    EXPECT_EQ(kind, EAddressKind::Favorites);

    CTempDir dir;
    CAddress::Describe(dir.Path(), title, kind);
    EXPECT_EQ(title, dir.Path());
    EXPECT_EQ(kind, EAddressKind::Folder);

    CAddress::Describe("/", title, kind);
    EXPECT_EQ(kind, EAddressKind::Drive);
    const std::string label = CAddress::VolumeLabel("/");
    EXPECT_EQ(title, label.empty() ? "(/)" : label + " (/)") << "no blank without a label";
    // /proc is a mount point of its own.
    EXPECT_TRUE(CAddress::IsDrive("/proc"));
}

TEST(Address, Existence) {
    CTempDir dir;
    dir.Write("f.mp3", "x");
    EXPECT_TRUE(CAddress::DirectoryExists(dir.Path()));
    EXPECT_FALSE(CAddress::DirectoryExists(dir / "f.mp3"));
    EXPECT_FALSE(CAddress::DirectoryExists(dir / "missing"));
    EXPECT_FALSE(CAddress::DirectoryExists(""));
    EXPECT_TRUE(CAddress::FileExists(dir / "f.mp3"));
    EXPECT_FALSE(CAddress::FileExists(dir / "g.mp3"));
}

TEST(FilePattern, WildcardsWithoutRegardToCase) {
    const CFilePattern mp3("*.mp3");
    EXPECT_TRUE(mp3.Matches("a.mp3"));
    EXPECT_TRUE(mp3.Matches("SONG.MP3"));
    EXPECT_TRUE(mp3.Matches(".mp3"));
    EXPECT_FALSE(mp3.Matches("a.mp3.bak"));
    EXPECT_FALSE(mp3.Matches("a.mp2"));
    const CFilePattern q("?b*c?.mp?");
    EXPECT_TRUE(q.Matches("abxxcd.mp2"));
    EXPECT_TRUE(q.Matches("abcd.MP3"));
    EXPECT_FALSE(q.Matches("bcd.mp3"));
    EXPECT_TRUE(CFilePattern("*").Matches(""));
    EXPECT_TRUE(CFilePattern("a*b*c").Matches("aXbYbZc"));
    EXPECT_FALSE(CFilePattern("a*b*c").Matches("aXbYbZ"));
    EXPECT_TRUE(CFilePattern("[x].mp3").Matches("[X].mp3")) << "brackets are plain letters";
}

TEST(FilePattern, StarAndTailAgreesWithTheGeneralMatcher) {
    // "*.mp3" takes the short road; "**.mp3" means the same and takes the general one.
    const CFilePattern shortRoad("*.Mp3");
    const CFilePattern general("**.mP3");
    for (const char* name : {"a.mp3", "A.MP3", ".mp3", "mp3", "a.mp", "x.mp3.mp3", "", "a.Mp3",
                             "a.mp4", "aa.mp3b", "a.mp3 ", "\xE9.MP3", "mp3.mp3"}) {
        EXPECT_EQ(shortRoad.Matches(name), general.Matches(name)) << name;
    }
    EXPECT_TRUE(shortRoad.Matches("Song.MP3"));
    EXPECT_FALSE(shortRoad.Matches("song.mp3.part"));
    EXPECT_TRUE(CFilePattern("*").Matches("anything"));
    EXPECT_TRUE(CFilePattern("*").Matches(""));
}
