#include "support/Mp3Maker.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct SRun {
    int status;
    std::string out;
    std::string err;
};

// Runs the real tool with its own profile and captures both outputs. `launcher` comes before
// the tool on the command line: settings of the environment, a command that runs it.
SRun RunScan(const CTempDir& dir, const std::string& arguments, const std::string& launcher = "") {
    const std::string out = dir / "out.txt";
    const std::string err = dir / "err.txt";
    const std::string command = "QUAVERO_LANG=en QUAVERO_PROFILE='" + dir / "profile.ini" + "' " +
                                launcher + " " QUAVERO_SCAN " " + arguments + " >'" + out +
                                "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFileBytes(out), ReadFileBytes(err)};
}

std::string Track(const std::string& artist, const std::string& album, std::uint8_t genre) {
    return Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(1000) +
           Mp3Maker::Tag("Song", artist, album, "1999", "Note", genre);
}

const std::string kHeader = "File\tArtist\tTitle\tLocation\tSize\tAlbum\tGenre\tDate\tComment\t"
                            "Time\tBitrate\tFrequency\tMode\tMPEG/Layer\tTrack\tAlbum artist\t"
                            "Disc\n";

} // namespace

TEST(ScanTool, PrintsTracksAndWritesOnlyTheSnapshot) {
    CTempDir dir;
    dir.Write("profile.ini", "[MP3]\nFilePath=/keep/this\n");
    dir.Write("m/b.mp3", Track("Band", "Disc", 17));
    dir.Write("m/a.mp3", Track("Artist", "Disc", 8));
    const SRun run = RunScan(dir, "'" + dir / "m/" + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string location = dir / "m";
    EXPECT_EQ(run.out, kHeader + "a.mp3\tArtist\tSong\t" + location +
                           "\t  0.0 MB\tDisc\tJazz\t1999\tNote\t0:00\t128 kbit/s\t44.1 kHz\t"
                           "Joint stereo\tMPEG-1 Layer III\t\t\t\n"
                           "b.mp3\tBand\tSong\t" +
                           location +
                           "\t  0.0 MB\tDisc\tRock\t1999\tNote\t0:00\t128 kbit/s\t44.1 kHz\t"
                           "Joint stereo\tMPEG-1 Layer III\t\t\t\n");
    EXPECT_EQ(run.err, "");
    EXPECT_FALSE(ReadFileBytes(dir / "m/mp3cache.qvc").empty());
    EXPECT_EQ(ReadFileBytes(dir / "profile.ini"), "[MP3]\nFilePath=/keep/this\n");

    // From the snapshot now: same output, with the snapshot folder's "/" kept.
    dir.Write("m/b.mp3", Track("Changed", "Disc", 17));
    SRun again = RunScan(dir, "--no-save " + dir / "m");
    EXPECT_NE(again.out.find("\tBand\t"), std::string::npos);
    EXPECT_NE(again.out.find(location + "/\t"), std::string::npos);
    again = RunScan(dir, "--refresh --no-save " + dir / "m");
    EXPECT_NE(again.out.find("\tChanged\t"), std::string::npos);
    again = RunScan(dir, dir / "m");
    EXPECT_NE(again.out.find("\tBand\t"), std::string::npos) << "--no-save kept the old one";
}

namespace {

// An ID3v2.3 frame of one ISO-8859-1 text.
std::string TextFrame(std::string_view id, std::string_view text) {
    const auto size = static_cast<std::uint32_t>(text.size() + 1);
    std::string frame(id);
    for (const int shift : {24, 16, 8, 0})
        frame += static_cast<char>(size >> shift & 0xFF);
    return frame + std::string(3, '\0') + std::string(text);
}

} // namespace

// The album artist and the disc end the line, escaped as every tag text, from the walk and
// from the snapshot alike; a track without them has the two columns empty.
TEST(ScanTool, AlbumArtistAndDiscEndTheLine) {
    CTempDir dir;
    const std::string audio = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(1000);
    dir.Write("m/a.mp3",
              Mp3Maker::Id3v2(TextFrame("TPE1", "Ann feat. Bo") +
                              TextFrame("TPE2", "Ann\tM\xfcller") + TextFrame("TPOS", "2/2")) +
                  audio);
    dir.Write("m/b.mp3", Mp3Maker::Id3v2(TextFrame("TPE1", "Cy") + TextFrame("TPE2", "Cy") +
                                         TextFrame("TPOS", "11")) +
                             audio);
    dir.Write("m/c.mp3", audio + Mp3Maker::Tag("Song", "Dee", "Disc", "1999", "", 17));
    for (const char* options : {"--refresh ", ""}) {
        const SRun run = RunScan(dir, options + dir / "m");
        ASSERT_EQ(run.status, 0) << run.err;
        std::vector<std::string> ends;
        std::istringstream out(run.out);
        for (std::string line; std::getline(out, line);) {
            const auto tab = line.rfind('\t', line.rfind('\t') - 1);
            ends.push_back(line.substr(tab + 1));
        }
        EXPECT_EQ(ends, (std::vector<std::string>{"Album artist\tDisc", "Ann\\tM\xc3\xbcller\t2",
                                                  "Cy\t11", "\t"}))
            << options;
    }
}

TEST(ScanTool, GroupsAndFavourites) {
    CTempDir dir;
    dir.Write("A/1.mp3", Track("X", "P", 17));
    dir.Write("A/2.mp3", Track("Y", "P", 17));
    dir.Write("B/3.mp3", Track("X", "Q", 8));
    // Grouped by the track's artist alone, as before the grouping by album artist.
    dir.Write("profile.ini", "[User settings]\nFavoriteAddresses=" + dir / "A" + ";" + dir / "B" +
                                 "\n[AdvancedOptions]\nGroupByAlbumArtist=0\n");
    SRun run = RunScan(dir, "--groups artist '*'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "X\t2\nY\t1\n");
    run = RunScan(dir, "--groups genre '*'");
    EXPECT_EQ(run.out, "Rock\t2\n\tX\t1\n\tY\t1\nJazz\t1\n\tX\t1\n");
    run = RunScan(dir, "--groups album '*'");
    EXPECT_EQ(run.out, "P\t2\n\tX\t1\n\tY\t1\nQ\t1\n\tX\t1\n");
    run = RunScan(dir, "--groups albumartist '*'");
    EXPECT_EQ(run.out, "X\t2\n\tP\t1\n\tQ\t1\nY\t1\n\tP\t1\n");
    EXPECT_TRUE(ReadFileBytes(dir / "A/mp3cache.qvc").empty()) << "no snapshot for favourites";
}

TEST(ScanTool, ErrorsAndUsage) {
    CTempDir dir;
    SRun run = RunScan(dir, dir / "missing");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "quavero-scan: no such directory: " + dir / "missing" + "\n");
    EXPECT_EQ(run.out, "");
    // Output that cannot be written (a full disk) is a failure of its own.
    dir.MakeDir("m");
    const std::string full = "QUAVERO_PROFILE='" + dir / "profile.ini" + "' " QUAVERO_SCAN " '" +
                             dir / "m" + "' >/dev/full 2>/dev/null";
    const int fullStatus = std::system(full.c_str());
    EXPECT_TRUE(WIFEXITED(fullStatus));
    EXPECT_EQ(WEXITSTATUS(fullStatus), 3);
    for (const char* wrong : {"", "--groups", "--groups size /tmp", "--bogus /tmp", "/a /b"}) {
        run = RunScan(dir, wrong);
        EXPECT_EQ(run.status, 2) << wrong;
        EXPECT_NE(run.err.find("usage: quavero-scan"), std::string::npos);
    }
}

namespace {

// Tracks of every kind over nested folders, with entries that are not tracks among them: an
// ID3v2 tag in front, too short, another name, a FIFO, links with and without a target, a
// folder named like a track, one named like its parent (walked as any), a file that cannot be
// opened. Returns the regular files.
std::vector<std::string> MakeMixedCollection(const CTempDir& dir) {
    std::vector<std::string> files;
    for (int i = 0; i < 150; ++i) {
        const std::string folder =
            "c/Artist " + std::to_string(i / 40) + "/Album " + std::to_string(i / 8) + "/";
        const std::string name = std::to_string(i) + (i % 10 == 3 ? ".MP3" : ".mp3");
        const std::string track =
            Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(100 + i * 37) +
            Mp3Maker::Tag("T" + std::to_string(i), "A" + std::to_string(i % 7), "B", "", "", 8);
        const std::string bytes = i % 10 == 0
                                      ? Mp3Maker::Id3v2(std::string(2000 + i * 29, 'x')) + track
                                  : i % 10 == 1 ? "short"
                                                : track;
        files.push_back(dir.Write(folder + (i % 10 == 2 ? "cover.jpg" : name), bytes));
    }
    files.push_back(dir.Write("c/Artist 1/Artist 1/self-titled.mp3", Track("H", "H", 1)));
    files.push_back(dir.Write("c/Artist 2/locked.mp3", Track("L", "L", 1)));
    ::chmod(files.back().c_str(), 0);
    dir.MakeDir("c/Artist 2/folder.mp3");
    ::mkfifo((dir / "c/Artist 0/pipe.mp3").c_str(), 0644);
    ::symlink("gone.mp3", (dir / "c/Artist 0/dangling.mp3").c_str());
    ::symlink("Album 0/4.mp3", (dir / "c/Artist 0/link.mp3").c_str());
    return files;
}

// Drops the files' pages from memory, so that the next walk reads them from the disk.
void DropPages(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

} // namespace

// Reading on the pool changes no byte of what the tool prints, says or stores, nor their order:
// files read ahead because their pages were dropped, read on the pool although in memory (also
// with few descriptors to spare), and read one by one. The snapshot keeps no walk time here, so
// that its bytes can be compared.
TEST(ScanTool, ReadingOnThePoolChangesNoByte) {
    CTempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    dir.Write("profile.ini", "[AdvancedOptions]\nCheckForChanges=0\n");
    const std::vector<std::string> files = MakeMixedCollection(dir);
    ::chmod((dir / "c").c_str(), 0777);
    // Root opens any file: the tool runs as nobody so that the locked one fails to open.
    const std::string asUser =
        ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    std::vector<std::pair<SRun, std::string>> runs;
    for (const std::string readAhead :
         {"", "QUAVERO_READ_AHEAD=always ", "QUAVERO_READ_AHEAD=always prlimit --nofile=72 ",
          "QUAVERO_READ_AHEAD=0 "}) {
        DropPages(files);
        const SRun run = RunScan(dir, "--refresh " + dir / "c", readAhead + asUser);
        runs.emplace_back(run, ReadFileBytes(dir / "c/mp3cache.qvc"));
        ::unlink((dir / "c/mp3cache.qvc").c_str());
    }
    const SRun& first = runs[0].first;
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 1 + 121 + 2);
    EXPECT_EQ(first.err, "quavero-scan: Invalid handle: Error opening file: " +
                             dir / "c/Artist 2/locked.mp3" + "\n");
    EXPECT_GT(runs[0].second.size(), 121U * 20);
    for (std::size_t i = 1; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].first.out, first.out) << i;
        EXPECT_EQ(runs[i].first.err, first.err) << i;
        EXPECT_EQ(runs[i].second, runs[0].second) << i;
    }
}

TEST(ScanTool, HelpAndVersionGoToStandardOutput) {
    CTempDir dir;
    for (const char* help : {"--help", "-h"}) {
        const SRun run = RunScan(dir, help);
        EXPECT_EQ(run.status, 0) << help;
        EXPECT_TRUE(run.out.starts_with("usage: quavero-scan")) << help;
        EXPECT_EQ(run.err, "");
    }
    const SRun run = RunScan(dir, "--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "quavero 2.2.0\n");
}

// Names and tags that hold the format's own separators, and a Latin-1 tag; the longer ones put
// them where the tool reads eight bytes at a time.
TEST(ScanTool, EveryTrackIsOneLineOfSeventeenFields) {
    struct SCase {
        std::string name, title, artist;           // as on disk
        std::string file, shownTitle, shownArtist; // as printed
    };
    const std::vector<SCase> cases = {
        {"a\tb.mp3", "T\tab", "Ana M\xfcller", "a\\tb.mp3", "T\\tab", "Ana M\xc3\xbcller"},
        {"c\nd.mp3", "x\ny", "Caf\xc3\xa9", "c\\nd.mp3", "x\\ny", "Caf\xc3\xa9"},
        {"e\rf.mp3", "r\rs", "\xe9t\xe9", "e\\rf.mp3", "r\\rs", "\xc3\xa9t\xc3\xa9"},
        {"eighteen bytes\x0b.mp3", "Fifteen letters\xe9", "sixteen letter\nZ",
         "eighteen bytes\x0b.mp3", "Fifteen letters\xc3\xa9", "sixteen letter\\nZ"},
        {"g\\h\xe9.mp3", "b\\s", "plain", "g\\\\h\xe9.mp3", "b\\\\s", "plain"},
        {"long name with a tab\there.mp3", "0123456\\89abcdefg\x01", "ABCDEFGHIJKL\rMNOPQRS",
         "long name with a tab\\there.mp3", "0123456\\\\89abcdefg\x01", "ABCDEFGHIJKL\\rMNOPQRS"},
        {"m.mp3", "M\xfc\tller\\", "\xe9\rx", "m.mp3", "M\xc3\xbc\\tller\\\\", "\xc3\xa9\\rx"},
    };
    CTempDir dir;
    for (const SCase& c : cases)
        dir.Write("m/" + c.name, Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(1000) +
                                     Mp3Maker::Tag(c.title, c.artist, "Disc", "1999", "", 17));
    // Plain tracks in a folder whose name needs escaping, one after the other.
    for (const char* name : {"m/n\\x\ty/p1.mp3", "m/n\\x\ty/p2.mp3"})
        dir.Write(name, Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(1000) +
                            Mp3Maker::Tag("Plain", "Plain", "Disc", "1999", "", 17));
    const SRun run = RunScan(dir, "--no-save '" + dir / "m" + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::vector<std::string>> lines;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) {
        std::vector<std::string> fields(1);
        for (const char ch : line) {
            if (ch == '\t')
                fields.emplace_back();
            else
                fields.back().push_back(ch);
        }
        EXPECT_EQ(fields.size(), 17u) << line;
        lines.push_back(fields);
    }
    ASSERT_EQ(lines.size(), cases.size() + 3);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(lines[i + 1][0], cases[i].file);
        EXPECT_EQ(lines[i + 1][1], cases[i].shownArtist);
        EXPECT_EQ(lines[i + 1][2], cases[i].shownTitle);
        EXPECT_EQ(lines[i + 1][3], dir / "m");
    }
    for (std::size_t i = cases.size() + 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i][2], "Plain");
        EXPECT_EQ(lines[i][3], dir / "m/n\\\\x\\ty");
    }
    // Seven artists of one album in one folder would make a compilation.
    dir.Write("profile.ini", "[AdvancedOptions]\nDetectCompilations=0\n");
    const SRun groups = RunScan(dir, "--no-save --groups artist '" + dir / "m" + "'");
    EXPECT_EQ(groups.out.substr(0, groups.out.find('\n')), "Ana M\xc3\xbcller\t1");
}
