#include "model/Id3v2Tag.h"
#include "model/Mp3File.h"
#include "model/Mp3FileList.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

// The album artist, disc, compilation flag, sort names and several artists of real files
// tagged by mutagen, as a walk reads them and as the snapshot gives them back.
namespace {

using namespace std::string_literals;

bool HaveTools() {
    return std::system("lame --version >/dev/null 2>&1") == 0 &&
           std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") == 0;
}

struct SCase {
    const char* name;
    int version;
    std::vector<std::string> frames; // as id3v2_files.py credits takes them
    // artist | album artist | disc | compilation | artist, album artist and album sort names |
    // the listed artists, comma-separated
    const char* expected;
};

const SCase kCases[] = {
    {"feat", 3, {"TPE1=Anna feat. Bo", "TPE2=Anna", "TPOS=2/2"}, "Anna feat. Bo|Anna|2|0||||"},
    {"same album artist", 4, {"TPE1=Anna", "TPE2=Anna"}, "Anna|Anna|0|0||||"},
    {"compilation",
     3,
     {"TPE1=Cleo", "TCMP=1", "TPOS=1", "TPE2=Various Artists"},
     "Cleo|Various Artists|1|1||||"},
    {"not a compilation", 4, {"TPE1=Cleo", "TCMP=0"}, "Cleo||0|0||||"},
    {"sort names",
     4,
     {"TPE1=The Beatles", "TPE2=The Beatles", "TSOP=Beatles, The", "TSO2=Beatles, The",
      "TSOA=White Album, The"},
     "The Beatles|The Beatles|0|0|Beatles, The|Beatles, The|White Album, The|"},
    {"the same album",
     4,
     {"TPE1=The Beatles", "TPE2=The Beatles", "TSOP=Beatles, The", "TSO2=Beatles, The",
      "TSOA=White Album, The"},
     "The Beatles|The Beatles|0|0|Beatles, The|Beatles, The|White Album, The|"},
    {"sort in 2.3", 3, {"TPE1=The The", "TSO2=The, The"}, "The The||0|0||The, The||"},
    {"2.4 values", 4, {"TPE1=Simon|Garfunkel"}, "Simon||0|0||||Simon,Garfunkel"},
    {"2.3 slash is a name", 3, {"TPE1=AC/DC"}, "AC/DC||0|0||||"},
    {"2.3 spaced slash", 3, {"TPE1=Simon / Garfunkel"}, "Simon / Garfunkel||0|0||||"},
    {"artists text",
     3,
     {"TPE1=Dee feat. Eli", "TXXX:ARTISTS=Dee|Eli", "TPOS=12/12"},
     "Dee feat. Eli||12|0||||Dee,Eli"},
    {"artists text wins", 4, {"TPE1=Dee|Eli|Fay", "TXXX:artists=Fay|Dee"}, "Dee||0|0||||Fay,Dee"},
    {"one artist listed", 4, {"TPE1=Dee", "TXXX:ARTISTS=Dee"}, "Dee||0|0||||"},
};

void ExpectCase(const CMp3File& track, const SCase& c) {
    std::string got = std::string(track.Artist()) + '|' + std::string(track.AlbumArtist()) + '|' +
                      std::to_string(track.Disc()) + '|' + (track.Compilation() ? "1|" : "0|");
    for (const std::string_view sort :
         {track.ArtistSort(), track.AlbumArtistSort(), track.AlbumSort()})
        (got += sort) += '|';
    const auto artists = track.Artists();
    for (std::size_t i = 0; i < artists.size(); ++i)
        (got += i == 0 ? "" : ",") += artists[i];
    EXPECT_EQ(got, c.expected);
    EXPECT_EQ(track.HasAlbumArtist(), !track.AlbumArtist().empty());
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
    // The tracks of an album share one block of what is rare.
    const auto shared = [](const CMp3FileList& tracks) {
        return tracks.GetAt(4)->AlbumSort().data() == tracks.GetAt(5)->AlbumSort().data();
    };
    EXPECT_TRUE(shared(list));
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    CMp3FileList back;
    ASSERT_EQ(back.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
    ASSERT_EQ(back.GetSize(), std::size(kCases));
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        SCOPED_TRACE(std::string("snapshot: ") + kCases[i].name);
        ExpectCase(*back.GetAt(i), kCases[i]);
    }
    EXPECT_TRUE(shared(back));
}

namespace {

// A tag of `version` around `frames`, its size syncsafe.
std::string Tag(int version, const std::string& frames) {
    const auto size = static_cast<std::uint32_t>(frames.size());
    std::string tag = "ID3" + std::string{static_cast<char>(version), 0, 0};
    for (const int shift : {21, 14, 7, 0})
        tag += static_cast<char>(size >> shift & 0x7F);
    return tag + frames;
}

// 2.2: id[3] | size[3]; 2.3 and 2.4 (sizes below 128): id[4] | size[4] | flags[2].
std::string Frame(std::string_view id, const std::string& body) {
    const auto n = static_cast<char>(body.size());
    if (id.size() == 3)
        return std::string(id) + std::string{0, 0, n} + body;
    return std::string(id) + std::string{0, 0, 0, n, 0, 0} + body;
}

// The body of a text frame in ISO-8859-1.
std::string Latin1(std::string_view text) {
    return std::string(1, '\0') + std::string(text);
}

CId3v2Tag Parsed(const std::string& bytes, const CId3v2Tag::Fetch& fetch = {}) {
    CId3v2Tag tag;
    const std::span data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    EXPECT_TRUE(tag.Parse(data, fetch));
    return tag;
}

} // namespace

// The ids of 2.2 and several values in UTF-16, each with its own byte-order mark.
TEST(Id3v2TagCredits, TwoPointTwoIdsAndWideValues) {
    const CId3v2Tag old = Parsed(Tag(2, Frame("TP2", Latin1("Band")) + Frame("TPA", Latin1("3/4")) +
                                            Frame("TCP", Latin1("1")) + Frame("TSP", Latin1("P")) +
                                            Frame("TS2", Latin1("Q")) + Frame("TSA", Latin1("R"))));
    EXPECT_EQ(old.albumArtist, "Band");
    EXPECT_EQ(old.disc, 3);
    EXPECT_TRUE(old.compilation);
    EXPECT_EQ(old.artistSort, "P");
    EXPECT_EQ(old.albumArtistSort, "Q");
    EXPECT_EQ(old.albumSort, "R");
    const CId3v2Tag wide = Parsed(Tag(4, Frame("TPE1", "\1\xFF\xFE"
                                                       "A\0\0\0\xFE\xFF\0"
                                                       "B"s) +
                                             Frame("TXXX", "\3"
                                                           "Artists\0"
                                                           "C\0\0"
                                                           "D\0"s)));
    EXPECT_EQ(wide.artist, "A");
    EXPECT_EQ(wide.artistValues, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(wide.artists, (std::vector<std::string>{"C", "D"}));
}

// Once the common fields are found, a rarer frame past a frame that is not at hand costs no
// read: the walk reads what it read without them.
TEST(Id3v2TagCredits, NoReadForTheRarerFrames) {
    std::string frames;
    for (const char* id : {"TIT2", "TPE1", "TALB", "TYER", "TCON", "TRCK"})
        frames += Frame(id, Latin1("1"));
    frames += Frame("COMM", "\0eng\0c"s) + Frame("TPOS", Latin1("2"));
    const std::string picture = Frame("PRIV", std::string(100, 'x'));
    const std::string tag = Tag(3, frames + picture + Frame("TPE2", Latin1("Late")));
    int fetches = 0;
    const CId3v2Tag parsed =
        Parsed(tag.substr(0, tag.size() - 20), [&](std::size_t, std::span<std::uint8_t>) {
            ++fetches;
            return std::size_t{0};
        });
    EXPECT_EQ(parsed.disc, 2) << "at hand";
    EXPECT_FALSE(parsed.albumArtist) << "past bytes not at hand";
    EXPECT_EQ(fetches, 0);
}
