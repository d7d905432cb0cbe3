#include "model/Mp3File.h"
#include "model/Mp3FileList.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The album artist, disc, compilation flag, sort names and several artists of real files
// tagged by mutagen, as a walk reads them and as the snapshot gives them back.
namespace {

bool HaveTools() {
    return std::system("lame --version >/dev/null 2>&1") == 0 &&
           std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") == 0;
}

struct SCase {
    const char* name;
    int version;
    std::vector<std::string> frames; // as id3v2_files.py credits takes them
    std::string artist, albumArtist;
    std::uint16_t disc;
    bool compilation;
    std::string artistSort, albumArtistSort, albumSort;
    std::vector<std::string> artists;
};

const SCase kCases[] = {
    {"feat",
     3,
     {"TPE1=Anna feat. Bo", "TPE2=Anna", "TPOS=2/2"},
     "Anna feat. Bo",
     "Anna",
     2,
     false,
     "",
     "",
     "",
     {}},
    {"same album artist", 4, {"TPE1=Anna", "TPE2=Anna"}, "Anna", "Anna", 0, false, "", "", "", {}},
    {"compilation",
     3,
     {"TPE1=Cleo", "TCMP=1", "TPOS=1", "TPE2=Various Artists"},
     "Cleo",
     "Various Artists",
     1,
     true,
     "",
     "",
     "",
     {}},
    {"not a compilation", 4, {"TPE1=Cleo", "TCMP=0"}, "Cleo", "", 0, false, "", "", "", {}},
    {"sort names",
     4,
     {"TPE1=The Beatles", "TPE2=The Beatles", "TSOP=Beatles, The", "TSO2=Beatles, The",
      "TSOA=White Album, The"},
     "The Beatles",
     "The Beatles",
     0,
     false,
     "Beatles, The",
     "Beatles, The",
     "White Album, The",
     {}},
    {"sort in 2.3",
     3,
     {"TPE1=The The", "TSO2=The, The"},
     "The The",
     "",
     0,
     false,
     "",
     "The, The",
     "",
     {}},
    {"2.4 values",
     4,
     {"TPE1=Simon|Garfunkel"},
     "Simon",
     "",
     0,
     false,
     "",
     "",
     "",
     {"Simon", "Garfunkel"}},
    {"2.3 slash is a name", 3, {"TPE1=AC/DC"}, "AC/DC", "", 0, false, "", "", "", {}},
    {"2.3 spaced slash",
     3,
     {"TPE1=Simon / Garfunkel"},
     "Simon / Garfunkel",
     "",
     0,
     false,
     "",
     "",
     "",
     {}},
    {"artists text",
     3,
     {"TPE1=Dee feat. Eli", "TXXX:ARTISTS=Dee|Eli", "TPOS=12/12"},
     "Dee feat. Eli",
     "",
     12,
     false,
     "",
     "",
     "",
     {"Dee", "Eli"}},
    {"artists text wins",
     4,
     {"TPE1=Dee|Eli|Fay", "TXXX:artists=Fay|Dee"},
     "Dee",
     "",
     0,
     false,
     "",
     "",
     "",
     {"Fay", "Dee"}},
    {"one artist listed", 4, {"TPE1=Dee", "TXXX:ARTISTS=Dee"}, "Dee", "", 0, false, "", "", "", {}},
};

void ExpectCase(const CMp3File& track, const SCase& c) {
    EXPECT_EQ(track.Artist(), c.artist);
    EXPECT_EQ(track.HasAlbumArtist(), !c.albumArtist.empty());
    EXPECT_EQ(track.AlbumArtist(), c.albumArtist);
    EXPECT_EQ(track.Disc(), c.disc);
    EXPECT_EQ(track.Compilation(), c.compilation);
    EXPECT_EQ(track.ArtistSort(), c.artistSort);
    EXPECT_EQ(track.AlbumArtistSort(), c.albumArtistSort);
    EXPECT_EQ(track.AlbumSort(), c.albumSort);
    const auto artists = track.Artists();
    EXPECT_EQ(std::vector<std::string>(artists.begin(), artists.end()), c.artists);
}

} // namespace

TEST(Mp3FileCredits, FromTheTagAndBackFromTheSnapshot) {
    if (!HaveTools())
        GTEST_SKIP() << "lame or python3-mutagen is not installed";
    CTempDir dir;
    ASSERT_TRUE(Mp3Maker::Encode(dir / "audio.bin", 0.5, 44100, "-b 64"));
    CMp3FileList list;
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        const SCase& c = kCases[i];
        SCOPED_TRACE(c.name);
        const std::string name = "t" + std::to_string(i) + ".mp3";
        std::string command = "/usr/bin/python3 " ID3V2_FILES " credits '" + dir / name + "' '" +
                              dir / "audio.bin" + "' " + std::to_string(c.version);
        for (const std::string& frame : c.frames)
            command += " '" + frame + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        auto track = std::make_unique<CMp3File>();
        CRecordingReporter reporter;
        ASSERT_TRUE(track->Load(dir.Path(), name, reporter));
        ExpectCase(*track, c);
        CMp3File alone;
        ASSERT_TRUE(alone.Load(dir.Path(), name, reporter, {.readId3v2 = false}));
        EXPECT_FALSE(alone.HasAlbumArtist() || alone.Disc() != 0 || alone.Compilation());
        list.Add(std::move(track));
    }
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    CMp3FileList back;
    ASSERT_EQ(back.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
    ASSERT_EQ(back.GetSize(), std::size(kCases));
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        SCOPED_TRACE(std::string("snapshot: ") + kCases[i].name);
        ExpectCase(*back.GetAt(i), kCases[i]);
    }
}
