#include "model/Mp3FileList.h"
#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"
#include "support/ChildProcess.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <unistd.h>

using namespace std::string_literals;

namespace {

const std::string kMagic = "\x10QUAVERO SNAPSHOT"s;

std::unique_ptr<CMp3File> Track(const CTempDir& dir, const std::string& relative,
                                const std::string& bytes) {
    const std::string path = dir.Write(relative, bytes);
    const auto slash = path.rfind('/');
    auto track = std::make_unique<CMp3File>();
    CRecordingReporter reporter;
    EXPECT_TRUE(track->Load(path.substr(0, slash), path.substr(slash + 1), reporter));
    return track;
}

std::string Snapshot(const CTempDir& dir) {
    return ReadFileBytes(dir / "mp3cache.qvc");
}

// The fields of one record that a hostile snapshot plays with.
struct SRecord {
    std::string fileName;
    std::string relative;
    std::int32_t sizeK;
    std::int32_t duration;
};

std::string SnapshotOf(const SRecord& record, const std::string& bitrateText = "128 kbit/s") {
    CArchiveWriter writer;
    writer.WriteString("QUAVERO SNAPSHOT");
    writer.WriteInt32(1);
    for (const std::string& text : {record.fileName, "T"s, record.relative, "A"s, "B"s, ""s})
        writer.WriteString(text);
    writer.WriteByte(17);
    writer.WriteInt32(record.sizeK);
    writer.WriteInt32(record.duration);
    for (const std::string& text :
         {bitrateText, "44.1 kHz"s, "MPEG-1 Layer III"s, "Stereo"s, "1999"s})
        writer.WriteString(text);
    return writer.Bytes();
}

} // namespace

TEST(Mp3FileList, EmptySnapshotIsTwentyOneBytes) {
    CTempDir dir;
    CMp3FileList list;
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    EXPECT_EQ(Snapshot(dir), kMagic + "\0\0\0\0"s);
    // With or without the trailing "/": the same file.
    ASSERT_TRUE(list.SaveSnapshot(dir.Path() + "/"));
    EXPECT_EQ(Snapshot(dir).size(), 21u);
}

TEST(Mp3FileList, StringLengthEncodings) {
    for (std::size_t length : {0u, 254u, 255u, 300u, 65533u, 65534u, 70000u}) {
        CArchiveWriter writer;
        writer.WriteString(std::string(length, 'a'));
        const std::string& bytes = writer.Bytes();
        std::string prefix;
        if (length < 255)
            prefix = std::string(1, static_cast<char>(length));
        else if (length < 65534)
            prefix = "\xFF"s + static_cast<char>(length & 0xFF) + static_cast<char>(length >> 8);
        else
            prefix = "\xFF\xFF\xFF"s + static_cast<char>(length & 0xFF) +
                     static_cast<char>((length >> 8) & 0xFF) + static_cast<char>(length >> 16) +
                     '\0';
        EXPECT_EQ(bytes.substr(0, prefix.size()), prefix) << length;
        EXPECT_EQ(bytes.size(), prefix.size() + length);
        CArchiveReader reader(bytes);
        std::string back;
        ASSERT_TRUE(reader.ReadString(back));
        EXPECT_EQ(back.size(), length);
        EXPECT_EQ(reader.Remaining(), 0u);
    }
}

TEST(Mp3FileList, OneUntaggedTrackInTheSnapshotDirectory) {
    CTempDir dir;
    CMp3FileList list;
    list.Add(Track(dir, "a.mp3", std::string(1128, 'x')));
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    const std::string expected = kMagic + "\x01\0\0\0"s +
                                 "\x05"
                                 "a.mp3"s +
                                 "\0\0"s + "\x0B<Undefined>\x0B<Undefined>"s + "\0\x94"s +
                                 "\x01\0\0\0"s + "\0\0\0\0"s + "\0\0\0\0\0"s;
    EXPECT_EQ(Snapshot(dir), expected);

    CMp3FileList back;
    ASSERT_EQ(back.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
    ASSERT_EQ(back.GetSize(), 1u);
    EXPECT_EQ(back.GetAt(0)->Directory(), dir.Path() + "/") << "own directory keeps the /";
    EXPECT_EQ(back.GetAt(0)->FileName(), "a.mp3");
    EXPECT_EQ(back.GetAt(0)->Artist(), "<Undefined>");
    EXPECT_EQ(back.GetAt(0)->Genre(), 148);
    EXPECT_EQ(back.GetAt(0)->SizeK(), 1);
}

TEST(Mp3FileList, RoundTripOfManyRecordsInSubdirectories) {
    CTempDir dir;
    CMp3FileList list;
    const std::string frame = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413);
    for (int i = 0; i < 300; ++i) {
        const std::string sub = i % 3 == 0 ? "" : (i % 3 == 1 ? "A/" : "A/B/");
        list.Add(Track(dir, sub + "t" + std::to_string(i) + ".mp3",
                       frame + std::string(static_cast<std::size_t>(i) * 100, 'x') +
                           Mp3Maker::Tag("Title " + std::to_string(i), "Artist", "\xE9t\xE9",
                                         "1999", "c", static_cast<std::uint8_t>(i % 256))));
    }
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    EXPECT_NE(Snapshot(dir).find("\x03"
                                 "A/B"s),
              std::string::npos)
        << "two levels down as A/B";

    CMp3FileList back;
    ASSERT_EQ(back.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
    ASSERT_EQ(back.GetSize(), list.GetSize());
    for (std::size_t i = 0; i < list.GetSize(); ++i) {
        const CMp3File& a = *list.GetAt(i);
        const CMp3File& b = *back.GetAt(i);
        for (int id = 1; id <= kFieldCount; ++id) {
            const auto field = static_cast<EFieldId>(id);
            if (field == EFieldId::Location && i % 3 == 0)
                EXPECT_EQ(b.Directory(), std::string(a.Directory()) + "/");
            else
                EXPECT_EQ(b.GetFieldText(field), a.GetFieldText(field)) << i << " " << id;
        }
        EXPECT_EQ(b.Bitrate(), 128000) << "recovered from the bitrate text";
        EXPECT_EQ(b.Genre(), a.Genre());
    }
    // Written back, the restored list gives the same bytes.
    const std::string first = Snapshot(dir);
    ASSERT_TRUE(back.SaveSnapshot(dir.Path()));
    EXPECT_EQ(Snapshot(dir), first);
}

TEST(Mp3FileList, CountsAndMagic) {
    CTempDir dir;
    CMp3FileList list;
    dir.Write("mp3cache.qvc", kMagic + "\xFF\xFF\xFF\xFF"s);
    EXPECT_EQ(list.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded) << "count -1";
    EXPECT_EQ(list.GetSize(), 0u);
    dir.Write("mp3cache.qvc", kMagic + "\xFF\xFF\xFF\x7F"s);
    EXPECT_EQ(list.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Broken) << "huge count";
    EXPECT_EQ(list.GetSize(), 0u);
    dir.Write("mp3cache.qvc", "\x10QUAVERO SNAPSHOX\0\0\0\0"s);
    EXPECT_EQ(list.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::NotFound);
    dir.Write("mp3cache.qvc", "");
    EXPECT_EQ(list.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::NotFound);
    ::unlink((dir / "mp3cache.qvc").c_str());
    EXPECT_EQ(list.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::NotFound);
    // Bytes after the last record are ignored.
    dir.Write("mp3cache.qvc", kMagic + "\0\0\0\0junk"s);
    EXPECT_EQ(list.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
}

// Every cut of a valid snapshot, and random byte flips: never a crash, the completed records
// stay appended, and a cut inside the records is reported as broken.
TEST(Mp3FileList, HostileSnapshots) {
    CTempDir dir;
    CMp3FileList list;
    for (int i = 0; i < 4; ++i)
        list.Add(Track(dir, "s/t" + std::to_string(i) + ".mp3",
                       std::string(400, 'x') + Mp3Maker::Tag("T", "A", "B", "1", "C", 2)));
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    const std::string valid = Snapshot(dir);
    for (std::size_t cut = 0; cut < valid.size(); ++cut) {
        dir.Write("mp3cache.qvc", valid.substr(0, cut));
        CMp3FileList back;
        const auto result = back.LoadSnapshot(dir.Path());
        EXPECT_NE(result, CMp3FileList::ELoadResult::Loaded) << cut;
        EXPECT_LT(back.GetSize(), 4u);
    }
    std::mt19937 random(42);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = valid;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips; ++f)
            bytes[random() % bytes.size()] = static_cast<char>(random());
        dir.Write("mp3cache.qvc", bytes);
        CMp3FileList back;
        back.LoadSnapshot(dir.Path());
        EXPECT_LE(back.GetSize(), bytes.size() / 20);
    }
    // A string that claims 4 GB in a small file.
    dir.Write("mp3cache.qvc", kMagic + "\x01\0\0\0"s + "\xFF\xFF\xFF\xFF\xFF\xFF\xFF"s);
    CMp3FileList back;
    EXPECT_EQ(back.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Broken);
}

TEST(Mp3FileList, FailedSaveKeepsThePreviousSnapshot) {
    CTempDir dir;
    CMp3FileList list;
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    const std::string before = Snapshot(dir);
    for (int i = 0; i < 50; ++i)
        list.Add(Track(dir, "t" + std::to_string(i) + ".mp3", std::string(300, 'x')));
    EXPECT_EQ(RunWithFileSizeLimit(100, [&] { return !list.SaveSnapshot(dir.Path()); }),
              EChildResult::Passed)
        << "a write error is reported";
    EXPECT_EQ(Snapshot(dir), before);
    EXPECT_EQ(std::system(("test -z \"$(ls -A " + dir.Path() + " | grep tmp)\"").c_str()), 0)
        << "no temporary file left behind";

    // A folder that cannot be written: no snapshot, and that is not an error.
    const std::string missing = dir / "no/such/folder";
    EXPECT_TRUE(list.SaveSnapshot(missing));
}

// A link at the snapshot's name, planted by another user in a folder both may write, is
// replaced by the snapshot, never written through.
TEST(Mp3FileList, APlantedLinkIsReplacedNotFollowed) {
    CTempDir dir;
    ::chmod(dir.Path().c_str(), 01777);
    const std::string victim = dir.Write("victim", "kept");
    const std::string name = dir / "mp3cache.qvc";
    ASSERT_EQ(RunAsNobody([&] { return ::symlink(victim.c_str(), name.c_str()) == 0; }),
              EChildResult::Passed);
    CMp3FileList list;
    list.Add(Track(dir, "a.mp3", Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + std::string(500, 'x')));
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    EXPECT_EQ(ReadFileBytes(victim), "kept");
    CMp3FileList back;
    EXPECT_EQ(back.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
    EXPECT_EQ(back.GetSize(), 1u);
}

// A snapshot larger than the reader's buffer: strings that straddle its refills, one longer
// than the buffer itself, and cuts on either side of a refill.
TEST(Mp3FileList, LargeSnapshotsStreamThroughTheReader) {
    CTempDir dir;
    CMp3FileList list;
    const std::string body = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + std::string(200, 'x');
    for (int i = 0; i < 1500; ++i)
        list.Add(Track(
            dir, "d" + std::to_string(i % 7) + "/t" + std::to_string(i) + ".mp3",
            body + Mp3Maker::Tag("Title " + std::to_string(i), "Artist", "Album", "2001", "c", 5)));
    list.GetAt(700)->SetTitle(std::string(70000, 'T'));
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    const std::string whole = Snapshot(dir);
    ASSERT_GT(whole.size(), 3u * 65536);
    CArchiveWriter inMemory;
    list.Serialize(inMemory, dir.Path() + "/");
    EXPECT_EQ(whole, inMemory.Bytes()) << "written piece by piece as it would be whole";
    EXPECT_EQ(
        RunWithFileSizeLimit(whole.size() / 2, [&] { return !list.SaveSnapshot(dir.Path()); }),
        EChildResult::Passed)
        << "a write that fails half-way is reported";
    EXPECT_EQ(Snapshot(dir), whole);

    CMp3FileList back;
    ASSERT_EQ(back.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
    ASSERT_EQ(back.GetSize(), 1500u);
    for (std::size_t i = 0; i < back.GetSize(); ++i) {
        EXPECT_EQ(back.GetAt(i)->Title(), list.GetAt(i)->Title()) << i;
        EXPECT_EQ(back.GetAt(i)->FileName(), list.GetAt(i)->FileName()) << i;
        EXPECT_EQ(back.GetAt(i)->Year(), "2001") << i;
    }
    for (std::size_t cut : {std::size_t{65535}, std::size_t{65536}, std::size_t{65537},
                            whole.size() / 2, whole.size() - 1}) {
        dir.Write("mp3cache.qvc", whole.substr(0, cut));
        CMp3FileList partial;
        EXPECT_EQ(partial.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Broken) << cut;
        EXPECT_LT(partial.GetSize(), 1500u);
        for (std::size_t i = 0; i < partial.GetSize(); ++i)
            ASSERT_EQ(partial.GetAt(i)->Title(), list.GetAt(i)->Title()) << "complete records only";
    }
}

// Records keep their addresses while the list grows over several storage blocks, and removing
// from the end destroys exactly those records.
TEST(Mp3FileList, RecordsStayPutAcrossStorageBlocks) {
    CMp3FileList list;
    std::vector<const CMp3File*> addresses;
    for (int i = 0; i < 13000; ++i) {
        CMp3File& track = list.Append();
        track.SetTitle("A title long enough to live on the heap " + std::to_string(i));
        addresses.push_back(&track);
    }
    list.Truncate(5000);
    ASSERT_EQ(list.GetSize(), 5000u);
    for (int i = 0; i < 3000; ++i)
        list.Append().SetTitle("again " + std::to_string(i));
    ASSERT_EQ(list.GetSize(), 8000u);
    for (std::size_t i = 0; i < 5000; ++i) {
        ASSERT_EQ(list.GetAt(i), addresses[i]);
        ASSERT_EQ(list.GetAt(i)->Title(),
                  "A title long enough to live on the heap " + std::to_string(i));
    }
    EXPECT_EQ(list.GetAt(5000)->Title(), "again 0");
    EXPECT_EQ(list.GetAt(5000)->Artist(), "<Undefined>") << "a reused slot starts afresh";
    list.RemoveAll();
    EXPECT_EQ(list.GetSize(), 0u);
}

// Numbers no file has and places outside the snapshot's folder break the snapshot.
TEST(Mp3FileList, RecordsThatCannotBeTrueBreakTheSnapshot) {
    const std::vector<std::pair<SRecord, bool>> cases = {
        {{"a.mp3", "", 1, 1}, true},
        {{"a.mp3", "A/..B/c..", 1, 1}, true},
        {{"..mp3", "", 1, 1}, true},
        {{"a.mp3", "", 0, INT_MAX}, true},
        {{"a.mp3", "", -1, 1}, false},
        {{"a.mp3", "", 1, -1}, false},
        {{"a.mp3", "", 1, INT_MIN}, false},
        {{"a.mp3", "../../../etc", 1, 1}, false},
        {{"a.mp3", "A/../../x", 1, 1}, false},
        {{"a.mp3", "A/..", 1, 1}, false},
        {{"a.mp3", "..", 1, 1}, false},
        {{"../a.mp3", "", 1, 1}, false},
        {{"A/a.mp3", "", 1, 1}, false},
        {{"..", "", 1, 1}, false},
        {{"a.mp3", "A\0/../.."s, 1, 1}, false},
    };
    CTempDir dir;
    for (const auto& [record, valid] : cases) {
        dir.Write("mp3cache.qvc", SnapshotOf(record));
        CMp3FileList list;
        const auto result = list.LoadSnapshot(dir.Path());
        EXPECT_EQ(result == CMp3FileList::ELoadResult::Loaded, valid) << record.relative;
        EXPECT_EQ(list.GetSize(), valid ? 1u : 0u) << record.fileName;
    }
}

// Read-back bitrates: the header's table and VBR averages, and nothing else.
TEST(Mp3FileList, BitratesComeBackFromTheirTextWithinBounds) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"128 kbit/s", 128000}, {"8 kbit/s", 8000},   {"187 kbit/s", 187000},
        {"640 kbit/s", 640000}, {"641 kbit/s", 0},    {"9999999 kbit/s", 0},
        {"0 kbit/s", 0},        {"-1 kbit/s", 0},     {" kbit/s", 0},
        {"128kbit/s", 0},       {"128 kbit/s ", 0},   {"", 0},
        {"12a kbit/s", 0},      {"4294967 kbit/s", 0}};
    CTempDir dir;
    for (const auto& [text, bitrate] : cases) {
        dir.Write("mp3cache.qvc", SnapshotOf({"a.mp3", "", 1, 1}, text));
        CMp3FileList list;
        ASSERT_EQ(list.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
        EXPECT_EQ(list.GetAt(0)->Bitrate(), bitrate) << text;
        EXPECT_EQ(list.GetAt(0)->BitrateText(), text);
    }
}

// A record keeps a table text as a code and any other text as it is; a text past 64 KiB
// widens the ends of the record's texts.
TEST(Mp3FileList, RestoredHeaderTextsAreVerbatim) {
    const std::vector<std::vector<std::string>> cases{
        {"128 kbit/s", "44.1 kHz", "MPEG-1 Layer III", "Joint stereo", "c"},
        {"193 kbit/s", "22.05 kHz", "MPEG-2 Layer I", "Single channel", ""},
        {"0128 kbit/s", "44.1 khz", "MPEG-3 Layer III", "", std::string(70000, 'x')},
        {"641 kbit/s", "", "", "Mono", "d"},
    };
    for (const auto& c : cases) {
        CArchiveWriter writer;
        writer.WriteString(kMagic.substr(1));
        writer.WriteInt32(1);
        for (const std::string& text : {"f.mp3"s, "T"s, "sub"s, "A"s, "B"s, c[4]})
            writer.WriteString(text);
        writer.WriteByte(7);
        writer.WriteInt32(10);
        writer.WriteInt32(20);
        for (const std::string& text : {c[0], c[1], c[2], c[3], "1999"s})
            writer.WriteString(text);
        CArchiveReader reader(writer.Bytes());
        CMp3FileList list;
        ASSERT_TRUE(list.Serialize(reader, "/base/"));
        const CMp3File& track = *list.GetAt(0);
        EXPECT_EQ(track.BitrateText(), c[0]);
        EXPECT_EQ(track.FrequencyText(), c[1]);
        EXPECT_EQ(track.VersionLayerText(), c[2]);
        EXPECT_EQ(track.ModeText(), c[3]);
        EXPECT_EQ(track.Comment(), c[4]);
        EXPECT_EQ(track.Year(), "1999");
        EXPECT_EQ(track.FullPath(), "/base/sub/f.mp3");
        CArchiveWriter again;
        list.Serialize(again, "/base/");
        EXPECT_EQ(again.Bytes(), writer.Bytes());
    }
}

namespace {

std::string Section(std::uint8_t id, const std::string& body) {
    CArchiveWriter writer;
    writer.WriteByte(id);
    writer.WriteString(body);
    return writer.Bytes();
}

std::string Numbers(std::initializer_list<std::uint16_t> numbers, std::size_t count) {
    CArchiveWriter writer;
    writer.WriteInt32(static_cast<std::int32_t>(count));
    for (const std::uint16_t n : numbers) {
        writer.WriteByte(static_cast<std::uint8_t>(n));
        writer.WriteByte(static_cast<std::uint8_t>(n >> 8));
    }
    return writer.Bytes();
}

std::string Names(std::initializer_list<std::pair<std::int32_t, std::string>> names) {
    CArchiveWriter writer;
    writer.WriteInt32(static_cast<std::int32_t>(names.size()));
    for (const auto& [index, name] : names) {
        writer.WriteInt32(index);
        writer.WriteString(name);
    }
    return writer.Bytes();
}

std::string Indexes(std::initializer_list<std::int32_t> indexes) {
    CArchiveWriter writer;
    writer.WriteInt32(static_cast<std::int32_t>(indexes.size()));
    for (const std::int32_t index : indexes)
        writer.WriteInt32(index);
    return writer.Bytes();
}

// One track's rare texts: its index, the slots' bits, the texts.
std::string Rare(std::int32_t index, std::uint8_t slots, std::initializer_list<std::string> texts) {
    CArchiveWriter writer;
    writer.WriteInt32(1);
    writer.WriteInt32(index);
    writer.WriteByte(slots);
    for (const std::string& text : texts)
        writer.WriteString(text);
    return writer.Bytes();
}

// A folder identities' body: counts as given, then the numbers as two halves each.
std::string Ids(std::uint32_t count, std::initializer_list<std::uint64_t> devices,
                std::initializer_list<std::uint64_t> inodes,
                std::initializer_list<std::uint32_t> places) {
    CArchiveWriter writer;
    writer.WriteInt32(static_cast<std::int32_t>(count));
    writer.WriteInt32(static_cast<std::int32_t>(devices.size()));
    for (const std::initializer_list<std::uint64_t>& numbers : {devices, inodes})
        for (const std::uint64_t n : numbers) {
            writer.WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(n)));
            writer.WriteInt32(static_cast<std::int32_t>(static_cast<std::uint32_t>(n >> 32)));
        }
    for (const std::uint32_t place : places)
        writer.WriteInt32(static_cast<std::int32_t>(place));
    return writer.Bytes();
}

} // namespace

// Genre names and track numbers, which no record holds, go in one block after the last record:
// a reader of the records alone gets today's records and stops before it; this reader gives
// the tracks their extras, passes over sections it does not know, and takes a block that does
// not hold together for a broken snapshot.
TEST(Mp3FileList, ExtrasAfterTheLastRecord) {
    CTempDir dir;
    CMp3FileList list;
    const std::string frame = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413);
    for (int i = 0; i < 3; ++i)
        list.Add(Track(dir, "t" + std::to_string(i) + ".mp3",
                       frame + Mp3Maker::Tag("T", "A", "B", "1999", "c", 17)));
    const std::string plain = (list.SaveSnapshot(dir.Path()), Snapshot(dir));
    list.GetAt(0)->SetTrack(7);
    list.GetAt(2)->SetTrack(65535);
    list.GetAt(1)->SetGenreText("Indie Folk");
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    const std::string withExtras = Snapshot(dir);
    ASSERT_EQ(withExtras.substr(0, plain.size()), plain) << "the records are today's";

    CArchiveReader records(withExtras);
    std::string magic;
    std::int32_t count = 0;
    ASSERT_TRUE(records.ReadString(magic) && records.ReadInt32(count));
    for (std::int32_t i = 0; i < count; ++i) {
        CMp3File record;
        ASSERT_TRUE(record.Serialize(records, dir.Path() + "/"));
        EXPECT_EQ(record.GetGenreName(), "Rock");
        EXPECT_EQ(record.Track(), 0);
    }
    ASSERT_TRUE(records.ReadString(magic));
    EXPECT_EQ(magic, "QUAVERO TRACK EXTRAS");

    CMp3FileList back;
    ASSERT_EQ(back.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
    ASSERT_EQ(back.GetSize(), 3u);
    EXPECT_EQ(back.GetAt(0)->Track(), 7);
    EXPECT_EQ(back.GetAt(2)->Track(), 65535);
    EXPECT_EQ(back.GetAt(1)->GetGenreName(), "Indie Folk");
    EXPECT_EQ(back.GetAt(0)->GetGenreName(), "Rock");

    using EResult = CMp3FileList::ELoadResult;
    const std::string block = "\x14QUAVERO TRACK EXTRAS"s;
    const struct {
        const char* name;
        std::string after;
        EResult result;
    } cases[] = {
        {"a later section",
         block + Section(240, "from a later program") + Section(1, Numbers({1, 2, 3}, 3)),
         EResult::Loaded},
        {"someone else's bytes", "\x05other"s, EResult::Loaded},
        {"a count that is not the records'", block + Section(1, Numbers({1, 2}, 2)),
         EResult::Broken},
        {"numbers short of the count", block + Section(1, Numbers({1, 2}, 3)), EResult::Broken},
        {"a genre past the records", block + Section(2, Names({{3, "X"}})), EResult::Broken},
        {"a track named twice", block + Section(2, Names({{1, "X"}, {1, "Y"}})), EResult::Broken},
        {"an empty name", block + Section(2, Names({{0, ""}})), EResult::Broken},
        {"rare fields",
         block + Section(8, Numbers({0, 2, 0}, 3)) + Section(9, Indexes({0, 2})) +
             Section(10, Rare(1, 0x11, {"X", "A\0B\0"s})),
         EResult::Loaded},
        {"discs short of the count", block + Section(8, Numbers({1, 2}, 3)), EResult::Broken},
        {"a compilation past the records", block + Section(9, Indexes({3})), EResult::Broken},
        {"a compilation named twice", block + Section(9, Indexes({1, 1})), EResult::Broken},
        {"a slot no program knows", block + Section(10, Rare(0, 0x20, {})), EResult::Broken},
        {"no slot", block + Section(10, Rare(0, 0, {})), EResult::Broken},
        {"an empty album artist", block + Section(10, Rare(0, 0x01, {""})), EResult::Broken},
        {"artists without their last NUL", block + Section(10, Rare(0, 0x10, {"A\0B"s})),
         EResult::Broken},
        {"an empty artist", block + Section(10, Rare(0, 0x10, {"A\0\0"s})), EResult::Broken},
        {"rare texts cut short", block + Section(10, Rare(0, 0x03, {"A"})), EResult::Broken},
        {"numbers, then a hostile section",
         block + Section(1, Numbers({1, 2, 3}, 3)) + Section(10, Rare(0, 0x01, {""})),
         EResult::Broken},
        {"a section cut short",
         (block + Section(1, Numbers({1, 2, 3}, 3))).substr(0, block.size() + 5), EResult::Broken},
        {"folders on one device", block + Section(6, Ids(2, {7}, {1, 2}, {})), EResult::Loaded},
        {"identities short of their count", block + Section(6, Ids(3, {7}, {1, 2}, {})),
         EResult::Broken},
        {"no device", block + Section(6, Ids(2, {}, {1, 2}, {})), EResult::Broken},
        {"more devices than folders", block + Section(6, Ids(1, {7, 8}, {1}, {0})),
         EResult::Broken},
        {"a device's place past the devices", block + Section(6, Ids(2, {7, 8}, {1, 2}, {0, 2})),
         EResult::Broken},
        {"a count past the bytes", block + Section(6, Ids(0x7FFFFFFF, {7}, {1}, {})),
         EResult::Broken},
        {"files looked at never", block + Section(7, std::string(8, '\0')), EResult::Broken},
        {"a time cut short", block + Section(7, std::string(4, '\1')), EResult::Broken},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dir.Write("mp3cache.qvc", plain + c.after);
        CMp3FileList read;
        EXPECT_EQ(read.LoadSnapshot(dir.Path()), c.result);
        EXPECT_EQ(read.GetSize(), 3u) << "the records before the block stay read";
        if (c.result == EResult::Broken) {
            EXPECT_EQ(read.GetAt(0)->Track(), 0) << "nothing of a broken block is applied";
        }
    }

    // Identities on two devices, each folder naming its own, read back as written.
    CSnapshotExtras::SWalk walk{
        .startNs = 1, .bareFolders = {}, .folderIds = {}, .filesStartNs = 0};
    for (const auto& [device, inode] : {std::pair{7u, 1u}, {7u, 2u}, {8u, 2u}, {7u, 3u}})
        walk.folderIds.Add(device, std::uint64_t{inode} << 40);
    ASSERT_TRUE(list.SaveSnapshot(dir.Path(), &walk));
    CSnapshotExtras::SWalk read;
    ASSERT_EQ(CMp3FileList().LoadSnapshot(dir.Path(), &read), EResult::Loaded);
    ASSERT_EQ(read.folderIds.Size(), 4u);
    EXPECT_TRUE(read.folderIds.Is(2, 8, std::uint64_t{2} << 40));
    EXPECT_TRUE(read.folderIds.Is(3, 7, std::uint64_t{3} << 40));
    EXPECT_FALSE(read.folderIds.Is(1, 8, std::uint64_t{2} << 40));
}

// Extras far larger than a read buffer, with texts in each length form, stream from the file
// and back into every track as they were; the file holds the bytes the list makes in memory.
TEST(Mp3FileList, LargeExtrasReadBackFromTheFile) {
    CTempDir dir;
    CMp3FileList list;
    constexpr int kTracks = 3000;
    const std::string longName(70000, 'L');
    const auto text = [](const char* what, int i) {
        return std::string(what) + " of the album number " + std::to_string(i / 12);
    };
    for (int i = 0; i < kTracks; ++i) {
        CMp3File& track = list.Append();
        track.SetArtist(text("Artist", i));
        track.SetTitle("Title " + std::to_string(i));
        track.SetTrack(static_cast<std::uint16_t>(i % 12 + 1));
        if (i % 5 == 0)
            track.SetGenreText(text("Genre", i));
        track.SetAlbumArtist(i == 100   ? longName
                             : i == 200 ? std::string(300, 'M')
                                        : text("By", i));
        track.SetSortName(CRareFields::ESlot::AlbumSort, text("Sorted", i));
        if (i % 7 == 0)
            track.SetArtists({"One", text("Two", i)});
        track.SetDisc(static_cast<std::uint16_t>(i % 3 == 0 ? 9 + i / 12 : 1));
        track.SetCompilation(i % 4 == 0);
        list.PoolLast();
    }
    ASSERT_TRUE(list.SaveSnapshot(dir.Path()));
    CArchiveWriter memory;
    list.Serialize(memory, dir.Path() + "/");
    ASSERT_GT(memory.Bytes().size(), 300000u);
    EXPECT_EQ(Snapshot(dir), memory.Bytes());

    CMp3FileList back;
    ASSERT_EQ(back.LoadSnapshot(dir.Path()), CMp3FileList::ELoadResult::Loaded);
    ASSERT_EQ(back.GetSize(), std::size_t{kTracks});
    for (std::size_t i = 0; i < back.GetSize(); ++i) {
        const CMp3File& a = *list.GetAt(i);
        const CMp3File& b = *back.GetAt(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(b.Track(), a.Track());
        EXPECT_EQ(b.GenreText(), a.GenreText());
        EXPECT_EQ(b.AlbumArtist(), a.AlbumArtist());
        EXPECT_EQ(b.AlbumSort(), a.AlbumSort());
        EXPECT_EQ(b.ArtistList(), a.ArtistList());
        EXPECT_EQ(b.Disc(), a.Disc());
        EXPECT_EQ(b.Compilation(), a.Compilation());
    }
}

// The list keeps its records' texts in its own pool, over several of its chunks: they read back
// whole after an edit, a truncation and more records, after moves from another list, and in a
// record moved out of a list that then went.
TEST(Mp3FileList, PooledTextsSurviveEditsTruncationAndMoves) {
    const auto title = [](int i) {
        return "A title that takes a few dozen bytes, " + std::to_string(i);
    };
    CMp3FileList list;
    const auto fill = [&](CMp3FileList& into, int from, int to) {
        for (int i = from; i < to; ++i) {
            into.Append().SetTitle(title(i));
            into.PoolLast();
        }
    };
    fill(list, 0, 40000);
    list.GetAt(10)->SetArtist("Edited");
    list.Truncate(30000);
    fill(list, 30000, 35000);
    CMp3FileList other;
    fill(other, 100000, 101000);
    list.Replace(20000, other);
    EXPECT_EQ(other.GetSize(), 0u);
    fill(other, 200000, 200010);
    other.Replace(0, list);
    ASSERT_EQ(other.GetSize(), 21000u);
    for (std::size_t i = 0; i < other.GetSize(); ++i) {
        const int n = i < 20000 ? static_cast<int>(i) : static_cast<int>(i) + 80000;
        ASSERT_EQ(other.GetAt(i)->Title(), title(n)) << i;
    }
    EXPECT_EQ(other.GetAt(10)->Artist(), "Edited");
    CMp3File kept = std::move(*other.GetAt(20500));
    other.RemoveAll();
    EXPECT_EQ(kept.Title(), title(100500));
}

// A rearranged list keeps the records that stay where they are and takes the added ones; every
// way of shrinking it afterwards unmakes each record once, listed or not (ASan checks), and a
// rearrangement that leaves out many records lets them go.
TEST(Mp3FileList, RearrangedRecordsStayPutAndGoOnce) {
    const auto filled = [](CMp3FileList& into, const std::string& title) -> CMp3File* {
        CMp3File& track = into.Append();
        track.SetTitle(title);
        into.PoolLast();
        return &track;
    };
    const auto titles = [](const CMp3FileList& list) {
        std::string all;
        for (const CMp3File* track : list.Tracks())
            all += std::string(track->Title()) + ",";
        return all;
    };
    for (int shrink = 0; shrink < 4; ++shrink) {
        CMp3FileList list, added;
        std::vector<CMp3File*> records;
        for (const char* title : {"a", "b", "c", "d", "e"})
            records.push_back(filled(list, title));
        CMp3File* x = filled(added, "x");
        CMp3File* y = filled(added, "y");
        list.Rearrange({records[0], x, records[2], y, records[4]}, added);
        EXPECT_EQ(titles(list), "a,x,c,y,e,");
        EXPECT_EQ(added.GetSize(), 0u);
        EXPECT_EQ(list.GetAt(2), records[2]) << "a record that stays is not moved";
        filled(list, "f");
        switch (shrink) {
        case 0:
            list.RemoveLast();
            EXPECT_EQ(titles(list), "a,x,c,y,e,");
            break;
        case 1:
            list.Truncate(2);
            EXPECT_EQ(titles(list), "a,x,");
            break;
        case 2: {
            CMp3FileList other;
            filled(other, "z");
            other.Replace(0, list);
            EXPECT_EQ(titles(other), "a,x,c,y,e,f,");
            EXPECT_EQ(list.GetSize(), 0u);
            break;
        }
        default:
            list.RemoveAll();
            EXPECT_EQ(list.GetSize(), 0u);
        }
    }
    CMp3FileList many, none;
    std::vector<CMp3File*> kept;
    for (int i = 0; i < 6000; ++i) {
        CMp3File* track = filled(many, "t" + std::to_string(i));
        if (i % 1000 == 0)
            kept.push_back(track);
    }
    many.Rearrange(kept, none);
    EXPECT_EQ(titles(many), "t0,t1000,t2000,t3000,t4000,t5000,");
    filled(many, "u");
    many.RemoveLast();
    many.RemoveLast();
    EXPECT_EQ(titles(many), "t0,t1000,t2000,t3000,t4000,");
}
