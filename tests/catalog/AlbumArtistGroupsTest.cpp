#include "catalog/CatalogGroups.h"
#include "model/Mp3File.h"
#include "platform/Utf8.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The tree grouped by album artist, from real files tagged by mutagen: compilations, artists
// named several at once, albums of the same name, and the order of sort names.
namespace {

bool HaveTools() {
    return std::system("lame --version >/dev/null 2>&1") == 0 &&
           std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") == 0;
}

struct SFile {
    const char* path; // folder/name
    int version;      // of the ID3v2 tag; 0 for a file without tags
    std::vector<std::string> frames;
};

const SFile kFiles[] = {
    {"tcmp/1.mp3", 3, {"TPE1=Zed", "TALB=Club", "TCMP=1"}},
    {"tcmp/2.mp3", 3, {"TPE1=Yan", "TALB=Club", "TCMP=1"}},
    {"va/1.mp3", 4, {"TPE1=\xC3\x89ric", "TALB=Bal", "TPE2=various artists"}},
    {"mix/1.mp3", 4, {"TPE1=Ann", "TALB=Mix"}},
    {"mix/2.mp3", 4, {"TPE1=Bo", "TALB=Mix"}},
    {"mix/3.mp3", 4, {"TPE1=Cy", "TALB=Mix"}},
    {"two/1.mp3", 4, {"TPE1=Ann", "TALB=One"}},
    {"two/2.mp3", 4, {"TPE1=Bo", "TALB=Two"}},
    {"two/3.mp3", 4, {"TPE1=Cy", "TALB=Two"}},
    {"feat/1.mp3", 4, {"TPE1=Dee feat. Eli", "TPE2=Dee", "TALB=Greatest Hits"}},
    {"feat/2.mp3", 4, {"TPE1=Dee", "TPE2=Dee", "TALB=Greatest Hits"}},
    {"duo/1.mp3", 4, {"TPE1=Simon|Garfunkel", "TALB=Greatest Hits"}},
    {"duo/2.mp3", 4, {"TPE1=Simon|Simon", "TALB=Greatest Hits"}},
    {"listed/1.mp3", 3, {"TPE1=Fay feat. Gil", "TXXX:ARTISTS=Fay|Gil", "TALB=Duets"}},
    {"names/1.mp3", 3, {"TPE1=The Beatles", "TALB=Help"}},
    {"names/2.mp3", 3, {"TPE1=Les Rita", "TALB=Bye"}},
    {"names/3.mp3", 3, {"TPE1=L'Arc", "TALB=Ciel"}},
    {"names/4.mp3", 3, {"TPE1=Mister X", "TSOP=X, Mister", "TALB=Ex"}},
    {"names/5.mp3", 3, {"TPE1=\xC3\xA9lodie", "TALB=The Zoo", "TSOA=Zoo"}},
    {"names/6.mp3", 3, {"TPE1=the the", "TALB=Infected"}},
    {"none/1.mp3", 0, {}},
};

struct SCase {
    const char* name;
    CCatalogGroups::SOptions options;
    EDisplayMode mode;
    const char* tree; // sorted as the window sorts, subgroups two spaces further in
};

const char* const kArticles = "The;A;An;Les;Le;La;L'";

const SCase kCases[] = {
    {"by album artist",
     {.byAlbumArtist = true, .ignoredArticles = kArticles},
     EDisplayMode::Artist,
     "<Undefined> 1\n  <Undefined> 1\n"
     "Various Artists 6\n  Bal 1\n  Club 2\n  Mix 3\n"
     "Ann 1\n  One 1\n"
     "L'Arc 1\n  Ciel 1\n"
     "The Beatles 1\n  Help 1\n"
     "Bo 1\n  Two 1\n"
     "Cy 1\n  Two 1\n"
     "Dee 2\n  Greatest Hits 2\n"
     "\xC3\xA9lodie 1\n  The Zoo 1\n"
     "Fay 1\n  Duets 1\n"
     "Garfunkel 1\n  Greatest Hits 1\n"
     "Gil 1\n  Duets 1\n"
     "Les Rita 1\n  Bye 1\n"
     "Simon 2\n  Greatest Hits 2\n"
     "the the 1\n  Infected 1\n"
     "Mister X 1\n  Ex 1\n"},
    {"no folder rule, no articles",
     {.byAlbumArtist = true, .detectCompilations = false, .ignoredArticles = {}},
     EDisplayMode::Artist,
     "<Undefined> 1\n  <Undefined> 1\n"
     "Various Artists 3\n  Bal 1\n  Club 2\n"
     "Ann 2\n  Mix 1\n  One 1\n"
     "Bo 2\n  Mix 1\n  Two 1\n"
     "Cy 2\n  Mix 1\n  Two 1\n"
     "Dee 2\n  Greatest Hits 2\n"
     "\xC3\xA9lodie 1\n  The Zoo 1\n"
     "Fay 1\n  Duets 1\n"
     "Garfunkel 1\n  Greatest Hits 1\n"
     "Gil 1\n  Duets 1\n"
     "L'Arc 1\n  Ciel 1\n"
     "Les Rita 1\n  Bye 1\n"
     "Simon 2\n  Greatest Hits 2\n"
     "The Beatles 1\n  Help 1\n"
     "the the 1\n  Infected 1\n"
     "Mister X 1\n  Ex 1\n"},
    {"albums by album artist",
     {.byAlbumArtist = true, .ignoredArticles = kArticles},
     EDisplayMode::AlbumArtist,
     "<Undefined> 1\n  <Undefined> 1\n"
     "Bal 1\n  \xC3\x89ric 1\n"
     "Bye 1\n  Les Rita 1\n"
     "Ciel 1\n  L'Arc 1\n"
     "Club 2\n  Yan 1\n  Zed 1\n"
     "Duets 1\n  Fay feat. Gil 1\n"
     "Ex 1\n  Mister X 1\n"
     "Greatest Hits 2\n  Dee 1\n  Dee feat. Eli 1\n"
     "Greatest Hits 2\n  Simon 2\n"
     "Help 1\n  The Beatles 1\n"
     "Infected 1\n  the the 1\n"
     "Mix 3\n  Ann 1\n  Bo 1\n  Cy 1\n"
     "One 1\n  Ann 1\n"
     "Two 2\n  Bo 1\n  Cy 1\n"
     "The Zoo 1\n  \xC3\xA9lodie 1\n"},
};

template <class Group>
void Print(const CCatalogGroups& catalog, std::vector<Group> groups, std::string& out,
           const std::string& indent = {}) {
    catalog.Sort(groups);
    for (const Group& group : groups) {
        EXPECT_EQ(group.Tracks().size(), group.Size()) << group.Name();
        out +=
            indent + CUtf8::DisplayText(group.Name()) + ' ' + std::to_string(group.Size()) + '\n';
        Print(catalog, catalog.Subgroups(group.Node()), out, indent + "  ");
    }
}

} // namespace

TEST(AlbumArtistGroups, CompilationsSeveralArtistsAndSortNames) {
    if (!HaveTools())
        GTEST_SKIP() << "lame or python3-mutagen is not installed";
    CTempDir dir;
    ASSERT_TRUE(Mp3Maker::Encode(dir / "audio.bin", 0.2, 44100, "-b 32"));
    std::vector<std::unique_ptr<CMp3File>> records;
    TrackArray tracks;
    CRecordingReporter reporter;
    for (const SFile& file : kFiles) {
        const std::filesystem::path path = dir / file.path;
        std::filesystem::create_directories(path.parent_path());
        std::string command = "/usr/bin/python3 " ID3V2_FILES " credits '" + path.string() + "' '" +
                              dir / "audio.bin" + "' " + std::to_string(file.version);
        for (const std::string& frame : file.frames)
            command += " \"" + frame + '"'; // the frames hold no character the shell expands
        if (file.version == 0)
            std::filesystem::copy_file(dir / "audio.bin", path);
        else
            ASSERT_EQ(std::system(command.c_str()), 0) << file.path;
        records.push_back(std::make_unique<CMp3File>());
        ASSERT_TRUE(records.back()->Load(path.parent_path(), path.filename(), reporter));
        tracks.push_back(records.back().get());
    }
    CCatalogGroups catalog;
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.name);
        catalog.SetOptions(c.options);
        catalog.File(tracks, c.mode);
        std::string tree;
        if (c.mode == EDisplayMode::Artist)
            Print(catalog, catalog.Artists(), tree);
        else
            Print(catalog, catalog.Albums(), tree);
        EXPECT_EQ(tree, c.tree);
    }
    // The same tracks with the folders' tracks apart: the tracks of "mix" come one by one, and
    // only the last shows the album to be a compilation. The groups are the same.
    TrackArray apart;
    for (const std::size_t start : {0, 1})
        for (std::size_t i = start; i < tracks.size(); i += 2)
            apart.push_back(tracks[i]);
    catalog.SetOptions(kCases[0].options);
    catalog.File(apart, kCases[0].mode);
    std::string tree;
    Print(catalog, catalog.Artists(), tree);
    EXPECT_EQ(tree, kCases[0].tree);
}
