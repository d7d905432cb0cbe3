#include "model/TagWriter.h"
#include "model/Mp3File.h"
#include "support/ChildProcess.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sstream>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The writer of both tags, on hand-made tags and on files tagged by mutagen, which then reads
// them back: the edited fields as written, every other frame and the audio as they were.
namespace {

using namespace std::string_literals;
using EReason = STagWriteResult::EReason;

const std::string kAudio = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(5000);

std::string BigEndian(std::size_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::string Syncsafe(std::size_t value) {
    std::string out;
    for (int shift : {21, 14, 7, 0})
        out += static_cast<char>(value >> shift & 0x7F);
    return out;
}

std::string Frame(int version, const std::string& id, const std::string& body, int flags = 0) {
    return id + (version == 4 ? Syncsafe(body.size()) : BigEndian(body.size(), 4)) +
           BigEndian(static_cast<std::size_t>(flags), 2) + body;
}

// "ID3" | version | 0 | flags | size | `body` | `padding` zero bytes.
std::string Tag(int version, const std::string& body, std::size_t padding, int flags = 0) {
    return "ID3"s + static_cast<char>(version) + '\0' + static_cast<char>(flags) +
           Syncsafe(body.size() + padding) + body + std::string(padding, '\0');
}

std::string Texts(int version) {
    return Frame(version, "TIT2", "\0Old title"s) + Frame(version, "TPE1", "\0Band"s) +
           Frame(version, "PRIV", "owner\0\x01\x02"s);
}

CMp3File Loaded(const std::string& path) {
    CMp3File track;
    CRecordingReporter reporter;
    const auto slash = path.rfind('/');
    EXPECT_TRUE(track.Load(path.substr(0, slash), path.substr(slash + 1), reporter));
    return track;
}

STagWriteResult Write(const std::string& path, const STagEdit& edit) {
    return CTagWriter(true).Write(Loaded(path), edit);
}

const STagEdit kLonger{.title = "A title longer than the old one"};

struct SRefusal {
    const char* name;
    std::string head; // the file's bytes before the audio
    EReason reason;
};

void PrintTo(const SRefusal& c, std::ostream* out) {
    *out << c.name;
}

const SRefusal kRefusals[] = {
    {"Unsynchronised", Tag(3, Texts(3), 64, 0x80), EReason::Unsynchronised},
    {"Compressed", Tag(3, Texts(3) + Frame(3, "TXXX", "\0x\0y"s, 0x0080), 64),
     EReason::CompressedOrEncrypted},
    {"Encrypted", Tag(4, Texts(4) + Frame(4, "PRIV", "o\0x"s, 0x0004), 64),
     EReason::CompressedOrEncrypted},
    {"Checksum",
     Tag(3, BigEndian(10, 4) + "\x80\0"s + BigEndian(0, 4) + "CRC!" + Texts(3), 64, 0x40),
     EReason::Unreadable},
    {"BytesInThePadding", Tag(3, Texts(3) + "\0\0\0junk"s, 64), EReason::Unreadable},
    {"FramePastTheTag", Tag(3, Texts(3) + "TXXX" + BigEndian(500, 4) + "\0\0"s, 10),
     EReason::Unreadable},
    {"TagPastTheFile", "ID3\x03\0\0"s + Syncsafe(1 << 20) + Texts(3), EReason::Unreadable},
    {"UnknownVersion", Tag(5, Texts(3), 64), EReason::Unreadable},
};

class CRefusedWrite : public ::testing::TestWithParam<SRefusal> {};

} // namespace

// Nothing of a refused file is written, neither tag.
TEST_P(CRefusedWrite, WritesNothingAndSaysWhy) {
    CTempDir dir;
    const std::string bytes = GetParam().head + kAudio + Mp3Maker::Tag("T", "A", "B", "", "", 1);
    const std::string path = dir.Write("t.mp3", bytes);
    const STagWriteResult result = Write(path, kLonger);
    EXPECT_EQ(result.status, STagWriteResult::EStatus::Refused);
    EXPECT_EQ(result.reason, GetParam().reason);
    EXPECT_EQ(ReadFileBytes(path), bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, CRefusedWrite, ::testing::ValuesIn(kRefusals),
                         [](const auto& test) { return std::string(test.param.name); });

// Room in the padding: the file stays the same file, the same size; only the tags' bytes change.
// No room: a new file takes its place, with the old one's mode, owner and group; one with
// several names is refused, and a link is followed to the file it names.
TEST(TagWriter, InPlaceWhenItFitsElseANewFileInItsPlace) {
    CTempDir dir;
    const std::string v1 = Mp3Maker::Tag("Old title", "Band", "", "", "", 1);
    const std::string roomy = dir.Write("roomy.mp3", Tag(3, Texts(3), 200) + kAudio + v1);
    const std::string tight = dir.Write("tight.mp3", Tag(4, Texts(4), 0) + kAudio);
    ASSERT_EQ(::chown(tight.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(tight.c_str(), 0640), 0);
    struct stat before {
    }, after{};
    ::stat(roomy.c_str(), &before);
    ASSERT_TRUE(Write(roomy, kLonger).Written());
    ::stat(roomy.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(Loaded(roomy).Title(), kLonger.title);
    EXPECT_EQ(ReadFileBytes(roomy).substr(Tag(3, Texts(3), 200).size(), kAudio.size()), kAudio);

    ::stat(tight.c_str(), &before);
    ::symlink(tight.c_str(), (dir / "link.mp3").c_str());
    ASSERT_TRUE(Write(dir / "link.mp3", kLonger).Written());
    ::stat(tight.c_str(), &after);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.mp3"));
    const std::string written = ReadFileBytes(tight);
    EXPECT_EQ(Loaded(tight).Title(), kLonger.title);
    EXPECT_EQ(written.substr(written.size() - kAudio.size()), kAudio) << "no ID3v1 tag beside it";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3)
        << "no file left beside them";

    // The rewrite left room for later edits: this one goes in place, and every name sees it.
    ASSERT_EQ(::link(tight.c_str(), (dir / "other name.mp3").c_str()), 0);
    EXPECT_TRUE(Write(tight, {.album = "Fits"}).Written());
    EXPECT_EQ(Loaded(dir / "other name.mp3").Album(), "Fits");
    const std::string full = dir.Write("full.mp3", Tag(4, Texts(4), 0) + kAudio);
    ASSERT_EQ(::link(full.c_str(), (dir / "full name.mp3").c_str()), 0);
    EXPECT_EQ(Write(full, kLonger).reason, EReason::HardLinks);
    EXPECT_EQ(ReadFileBytes(full), Tag(4, Texts(4), 0) + kAudio);

    // A link that another user made in a shared collection may name any file of the user's.
    const std::string profile = dir.Write("profile", "PATH=/bin\n" + std::string(200, '#'));
    ::symlink(profile.c_str(), (dir / "planted.mp3").c_str());
    ASSERT_EQ(::lchown((dir / "planted.mp3").c_str(), 65534, 65534), 0);
    CMp3File planted;
    CRecordingReporter reporter;
    EXPECT_FALSE(planted.Load(dir.Path(), "planted.mp3", reporter)) << "not even read";
    EXPECT_EQ(CTagWriter(true).Write(planted, {.genre = 5}).reason, EReason::ForeignLink);
    EXPECT_EQ(ReadFileBytes(profile), "PATH=/bin\n" + std::string(200, '#'));
}

// A full disk (here a file size limit) while the new file is written: the old file stays, and
// the new one is removed.
TEST(TagWriter, AFailedRewriteLeavesTheOldFile) {
    CTempDir dir;
    const std::string bytes = Tag(3, Texts(3), 0) + kAudio;
    const std::string path = dir.Write("t.mp3", bytes);
    EXPECT_EQ(RunWithFileSizeLimit(bytes.size() / 2,
                                   [&] {
                                       const auto result = Write(path, kLonger);
                                       return result.status ==
                                                  STagWriteResult::EStatus::WriteFailed &&
                                              result.error == EFBIG;
                                   }),
              EChildResult::Passed);
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

// The ID3v1 tag beside an ID3v2 tag is a copy: Latin-1 where the text fits it, cut where a
// character ends, the ID3v1.1 track number kept; a field edited to blanks loses its frame.
TEST(TagWriter, TheId3v1CopyOfTheTexts) {
    CTempDir dir;
    const std::string body = Frame(4, "TIT2", "\x03"s + "Bj\xC3\xB6rk") +
                             Frame(4, "TRCK",
                                   "\x00"
                                   "7/12"s) +
                             Frame(4, "TCON", "\x00Indie Folk"s) +
                             Frame(4, "COMM", "\x00eng\0gone"s);
    const std::string path =
        dir.Write("t.mp3", Tag(4, body, 300) + kAudio + Mp3Maker::Tag("x", "", "", "", "", 255));
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC";
    const std::string album = tokyo + " Sessions, " + tokyo + " again" + tokyo;
    ASSERT_TRUE(Write(path, {.album = album, .comment = " "}).Written());
    const std::string v1 = ReadFileBytes(path).substr(ReadFileBytes(path).size() - 128);
    EXPECT_EQ(v1.substr(3, 30), "Bj\xF6rk" + std::string(25, ' '));
    EXPECT_EQ(v1.substr(63, 30), album.substr(0, 29) + " ") << "cut where a character ends";
    EXPECT_EQ(v1.substr(125, 3), "\0\x07\xFF"s) << "track 7; a genre name keeps the old byte";
    const CMp3File back = Loaded(path);
    EXPECT_EQ(back.Album(), album);
    EXPECT_EQ(back.Comment(), "");
    EXPECT_EQ(back.GetGenreName(), "Indie Folk");
    EXPECT_EQ(back.Track(), 7);
}

// Every file mutagen tagged (2.2 to 2.4, all text encodings, pictures, private frames, both
// tags): the edit is read back by mutagen, every other frame keeps its bytes, the version and
// the audio stay. Unsynchronised and cut tags are refused.
TEST(TagWriter, EditsAsMutagenReadsThem) {
    if (std::system("lame --version >/dev/null 2>&1") != 0 ||
        std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") != 0)
        GTEST_SKIP() << "lame or python3-mutagen is not installed";
    CTempDir dir;
    ASSERT_TRUE(Mp3Maker::Encode(dir / "audio.bin", 1.0, 44100, "-b 64"));
    const std::string list = dir / "list.txt";
    ASSERT_EQ(std::system(("/usr/bin/python3 " ID3V2_FILES " fixtures '" + dir.Path() + "' '" +
                           dir / "audio.bin" + "' >'" + list + "'")
                              .c_str()),
              0);
    const STagEdit edit{.title = "\xCE\x95\xCE\xBB \xE2\x80\x94 a title longer than thirty bytes",
                        .album = "Nouvel album \xC3\xA9t\xC3\xA9",
                        .year = "2011",
                        .comment = "New note"};
    const auto hex = [](const std::string& text) {
        std::ostringstream out;
        for (const unsigned char c : text)
            out << std::hex << (c < 16 ? "0" : "") << static_cast<int>(c);
        return out.str();
    };
    std::istringstream lines(ReadFileBytes(list));
    int written = 0;
    for (std::string line; std::getline(lines, line);) {
        const std::string name = line.substr(0, line.find('\t'));
        SCOPED_TRACE(name);
        const std::string path = dir / name;
        std::filesystem::copy_file(path, path + ".old");
        const STagWriteResult result = Write(path, edit);
        if (name == "v23_unsync.mp3" || name == "v24_cut.mp3") {
            EXPECT_EQ(result.status, STagWriteResult::EStatus::Refused);
            continue;
        }
        ASSERT_TRUE(result.Written());
        ++written;
        EXPECT_EQ(Loaded(path).Title(), *edit.title);
        std::string verify = "/usr/bin/python3 " ID3V2_FILES " verify '";
        verify.append(path).append(".old' '").append(path).append("' title=");
        verify.append(hex(*edit.title)).append(" album=").append(hex(*edit.album));
        verify.append(" year=").append(hex(*edit.year)).append(" comment=");
        verify += hex(*edit.comment);
        EXPECT_EQ(std::system(verify.c_str()), 0);
    }
    EXPECT_EQ(written, 14);
}

namespace {

bool HaveTools() {
    return std::system("lame --version >/dev/null 2>&1") == 0 &&
           std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") == 0;
}

// The output of the fixtures script run with `arguments`.
std::string Script(const CTempDir& dir, const std::string& arguments) {
    const std::string out = dir / "script.txt";
    EXPECT_EQ(
        std::system(("/usr/bin/python3 " ID3V2_FILES " " + arguments + " >'" + out + "'").c_str()),
        0)
        << arguments;
    return ReadFileBytes(out);
}

} // namespace

// Comments as players and other programs leave them: in two languages, and a described one
// holding a player's loudness numbers, which is no comment. The first without a description
// shows; a blank comment takes away every one of them, a new one leaves one; the described
// one stays.
TEST(TagWriter, CommentsWithoutADescriptionGoTogether) {
    if (!HaveTools())
        GTEST_SKIP() << "lame or python3-mutagen is not installed";
    CTempDir dir;
    ASSERT_TRUE(Mp3Maker::Encode(dir / "audio.bin", 1.0, 44100, "-b 64"));
    const std::string numbers = " 'eng:iTunNORM: 00000A2B 00000C3D'";
    const std::string kept = "eng\tiTunNORM\t 00000A2B 00000C3D\n";
    for (const std::string version : {"3", "4"}) {
        SCOPED_TRACE("2." + version);
        const std::string path = dir / ("2." + version + ".mp3");
        std::string make = "comments '";
        make.append(path).append("' '").append(dir / "audio.bin").append("' ").append(version);
        make += numbers;
        Script(dir, make);
        make += " deu::Erste 'eng::Second note'";
        EXPECT_EQ(Loaded(path).Comment(), "") << "numbers are no comment";

        Script(dir, make);
        EXPECT_EQ(Loaded(path).Comment(), "Erste");
        ASSERT_TRUE(Write(path, {.comment = " "}).Written());
        EXPECT_EQ(Script(dir, "comment-frames '" + path + "'"), kept);
        EXPECT_EQ(Loaded(path).Comment(), "");

        Script(dir, make);
        ASSERT_TRUE(Write(path, {.comment = "New note"}).Written());
        EXPECT_EQ(Script(dir, "comment-frames '" + path + "'"), "deu\t\tNew note\n" + kept);
        EXPECT_EQ(Loaded(path).Comment(), "New note");
    }
}

// A 2.4 comment frame may be unsynchronised on its own (format flags 0x02, with the data length
// 0x01): it is read through that, and a new comment takes its place.
TEST(TagWriter, AnUnsynchronisedCommentFrameIsReplaced) {
    if (!HaveTools())
        GTEST_SKIP() << "lame or python3-mutagen is not installed";
    CTempDir dir;
    const std::string data = "\0fra\0Vieille \xFF\xE9"s;
    const std::string body =
        Frame(4, "TIT2", "\0T"s) +
        Frame(4, "COMM", Syncsafe(data.size()) + "\0fra\0Vieille \xFF\0\xE9"s, 0x03);
    const std::string path = dir.Write("t.mp3", Tag(4, body, 200) + kAudio);
    EXPECT_EQ(Loaded(path).Comment(), "Vieille \xFF\xE9");
    ASSERT_TRUE(Write(path, {.comment = "Nouvelle"}).Written());
    EXPECT_EQ(Script(dir, "comment-frames '" + path + "'"), "fra\t\tNouvelle\n");
}

// A file without a genre, untagged or with the byte that once stood for none, gets the byte that
// every reader takes for none; this program reads both as none.
TEST(TagWriter, NoGenreIsWrittenAsNone) {
    if (!HaveTools())
        GTEST_SKIP() << "lame or python3-mutagen is not installed";
    CTempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {kAudio, "TIT2\tNew\n"},
        {kAudio + Mp3Maker::Tag("T", "A", "B", "", "", 148), "TALB\tB\nTIT2\tNew\nTPE1\tA\n"},
    };
    for (const auto& [bytes, fields] : cases) {
        const std::string path = dir.Write("t.mp3", bytes);
        EXPECT_EQ(Loaded(path).GetGenreName(), "<Undefined>");
        ASSERT_TRUE(Write(path, {.title = "New"}).Written());
        EXPECT_EQ(Script(dir, "id3v1 '" + path + "'"), fields);
        EXPECT_EQ(Loaded(path).GetGenreName(), "<Undefined>");
    }
}

// The album artist, the track and the disc, as mutagen reads them back: into tags of 2.3 and 2.4
// (a track's total kept, every other frame as it was), the ID3v1.1 byte where the comment leaves
// room, 0 taking a number away; a file without an ID3v2 tag gains one only for a value that its
// ID3v1 tag cannot hold.
TEST(TagWriter, AlbumArtistTrackAndDiscAsMutagenReadsThem) {
    if (!HaveTools())
        GTEST_SKIP() << "lame or python3-mutagen is not installed";
    CTempDir dir;
    ASSERT_TRUE(Mp3Maker::Encode(dir / "audio.bin", 1.0, 44100, "-b 64"));
    Script(dir, "fixtures '" + dir.Path() + "' '" + (dir / "audio.bin") + "'");
    const std::string audio = ReadFileBytes(dir / "audio.bin");
    const std::string note = Mp3Maker::Tag("T", "A", "B", "1999", "Short", 13);
    const std::string longNote = Mp3Maker::Tag("T", "A", "B", "1999", std::string(30, 'c'), 13);
    const STagEdit all{.albumArtist = "Vari\xC3\xA9t\xC3\xA9s", .track = 4, .disc = 2};
    const struct {
        std::string file, bytes; // a fixture's name, or the bytes after the audio
        STagEdit edit;
        std::string checks; // the script's, the texts in hex
        bool id3v2;
    } cases[] = {
        {"m23_latin1.mp3", "", all, "albumartist=56617269c3a974c3a973 track=34 disc=32", true},
        {"m24_utf8.mp3", "", all, "albumartist=56617269c3a974c3a973 track=34 disc=32", true},
        {"both23_utf16.mp3", "", {.track = 4}, "track=342f3132 v1track=", true},
        {"both24_gaps.mp3", "", {.track = 4}, "track=34 v1track=34", true},
        {"title.mp3", note, {.title = "New"}, "title=4e6577", false},
        {"track.mp3", note, {.track = 9}, "v1track=39", false},
        {"long.mp3", longNote, {.track = 9}, "track=39 v1track= v2=6e6577", true},
        {"past255.mp3", note, {.track = 300}, "track=333030 v1track= v2=6e6577", true},
        {"untagged.mp3", "", {.disc = 3}, "disc=33 v2=6e6577", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir / c.file;
        if (c.bytes.empty() && c.file != "untagged.mp3")
            std::filesystem::copy_file(path, path + ".old");
        else
            dir.Write(c.file + ".old", audio + c.bytes);
        std::filesystem::copy_file(path + ".old", path,
                                   std::filesystem::copy_options::skip_existing);
        ASSERT_TRUE(Write(path, c.edit).Written());
        EXPECT_EQ(ReadFileBytes(path).starts_with("ID3"), c.id3v2);
        std::string verify = "verify '";
        verify.append(path).append(".old' '").append(path).append("' ").append(c.checks);
        EXPECT_EQ(Script(dir, verify), "");
        const CMp3File back = Loaded(path), old = Loaded(path + ".old");
        EXPECT_EQ(back.Track(), c.edit.track.value_or(old.Track()));
        EXPECT_EQ(back.Disc(), c.edit.disc.value_or(old.Disc()));
        EXPECT_EQ(back.AlbumArtist(), c.edit.albumArtist.value_or(std::string(old.AlbumArtist())));
    }
    ASSERT_TRUE(Write(dir / "m24_utf8.mp3", {.track = 0, .disc = 0}).Written());
    EXPECT_EQ(Loaded(dir / "m24_utf8.mp3").Disc() + Loaded(dir / "m24_utf8.mp3").Track(), 0);
    const std::string off = dir.Write("off.mp3", audio + note);
    ASSERT_TRUE(CTagWriter(false).Write(Loaded(off), {.disc = 2}).Written());
    EXPECT_EQ(ReadFileBytes(off), audio + note) << "no ID3v2 tag where the setting says so";
}

// Only what changes is written: an edit of texts the track already shows leaves the file's
// bytes and time; an ID3v1 tag that would say what it says keeps its bytes, padding and all.
// (The properties tests cover OK with nothing typed on each kind of file.)
TEST(TagWriter, WritesOnlyWhatChanges) {
    CTempDir dir;
    const std::string title = "A title of thirty bytes, then";
    const std::string padded =
        "TAG" + title + " " + "Band" + std::string(26 + 30 + 4 + 30, '\0') + "\x01";
    const std::string bytes =
        Tag(4, Frame(4, "TIT2", "\0"s + title + " more"), 200) + kAudio + padded;
    const std::string path = dir.Write("padded.mp3", bytes);
    const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);
    ASSERT_TRUE(Write(path, {.title = title + " more", .artist = "Band", .genre = 1}).Written());
    struct stat after {};
    ::stat(path.c_str(), &after);
    EXPECT_EQ(after.st_mtim.tv_sec, past[1].tv_sec);
    EXPECT_EQ(ReadFileBytes(path), bytes);

    ASSERT_TRUE(Write(path, {.title = title + " other"}).Written());
    EXPECT_EQ(Loaded(path).Title(), title + " other");
    EXPECT_EQ(ReadFileBytes(path).substr(ReadFileBytes(path).size() - 128), padded);
}

// The writer, killed at random moments in a child process, many times: every file is found as
// it was or as the whole write leaves it, whether it was written in place or anew.
TEST(TagWriter, AKilledWriterLeavesEveryFileOldOrNew) {
    CTempDir dir;
    const std::string v1 = Mp3Maker::Tag("Old title", "Band", "", "", "", 1);
    const std::vector<std::string> olds = {
        Tag(3, Texts(3), 4000) + kAudio + v1, // in place, both tags, over several pages
        Tag(4, Texts(4), 0) + kAudio + v1,    // anew
        Tag(3, Texts(3), 300) + kAudio,       // in place, the ID3v2 tag alone
        kAudio + v1,                          // the ID3v1 tag alone
    };
    const STagEdit edit{.title = "A new title, longer than the old"};
    std::vector<std::string> news;
    for (std::size_t i = 0; i < olds.size(); ++i) {
        const std::string path = dir.Write("model" + std::to_string(i) + ".mp3", olds[i]);
        ASSERT_TRUE(Write(path, edit).Written());
        news.push_back(ReadFileBytes(path));
    }
    const auto writeAll = [&](const std::string& folder) {
        for (std::size_t i = 0; i < olds.size(); ++i)
            CTagWriter(true).Write(Loaded(folder + "/" + std::to_string(i) + ".mp3"), edit);
    };
    const auto lay = [&](const std::string& folder) {
        std::filesystem::remove_all(folder);
        for (std::size_t i = 0; i < olds.size(); ++i)
            dir.Write(folder.substr(dir.Path().size() + 1) + "/" + std::to_string(i) + ".mp3",
                      olds[i]);
    };
    // How long a whole run takes, so that the kills fall all along it.
    const std::string folder = dir / "run";
    lay(folder);
    const auto start = std::chrono::steady_clock::now();
    writeAll(folder);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    // The commits' children outlive a killed writer; they are waited for here.
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    std::mt19937 random(21);
    int oldSeen = 0, newSeen = 0;
    for (int run = 0; run < 150; ++run) {
        lay(folder);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            writeAll(folder);
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(random() % static_cast<unsigned>(span * 2 + 1)));
        ::kill(writer, SIGKILL);
        while (::waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
        }
        for (std::size_t i = 0; i < olds.size(); ++i) {
            const std::string now = ReadFileBytes(folder + "/" + std::to_string(i) + ".mp3");
            ASSERT_TRUE(now == olds[i] || now == news[i]) << "run " << run << ", file " << i;
            (now == olds[i] ? oldSeen : newSeen) += 1;
        }
        ASSERT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}),
                  static_cast<std::ptrdiff_t>(olds.size()))
            << "run " << run << ": no copy left beside them";
    }
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}
