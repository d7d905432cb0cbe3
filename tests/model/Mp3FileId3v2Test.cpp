#include "model/ArchiveWriter.h"
#include "model/GenreTable.h"
#include "model/Mp3File.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

// ID3v2 tags of every version and text encoding, written by mutagen and by hand, each checked
// against mutagen's own reading of the same file.
namespace {

constexpr STrackReadOptions kToday{false, false};

bool HaveTools() {
    return std::system("lame --version >/dev/null 2>&1") == 0 &&
           std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") == 0;
}

std::string Unhex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The table's name for mutagen's, compared in any case; `none` when the table has no such name.
std::string_view TableGenre(const std::string& name, std::string_view none) {
    const auto end = genreNames.begin() + kGenreNone;
    const auto found = std::find_if(genreNames.begin(), end,
                                    [&](std::string_view g) { return Lower(g) == Lower(name); });
    return found == end ? none : *found;
}

std::string Record(const CMp3File& track) {
    CArchiveWriter archive;
    track.Serialize(archive, "");
    return archive.Bytes();
}

} // namespace

TEST(Mp3FileId3v2, TextsAsMutagenReadsThem) {
    if (!HaveTools())
        GTEST_SKIP() << "lame or python3-mutagen is not installed";
    CTempDir dir;
    ASSERT_TRUE(Mp3Maker::Encode(dir / "audio.bin", 1.0, 44100, "-b 64"));
    const std::string command = "/usr/bin/python3 " ID3V2_FILES " fixtures '" + dir.Path() + "' '" +
                                dir / "audio.bin" + "' >'" + dir / "list.txt" + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::istringstream lines(ReadFileBytes(dir / "list.txt"));
    int files = 0;
    for (std::string line; std::getline(lines, line); ++files) {
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');)
            f.push_back(field);
        ASSERT_EQ(f.size(), 7u);
        SCOPED_TRACE(f[0]);
        CMp3File on;
        CMp3File today;
        CRecordingReporter reporter;
        ASSERT_TRUE(on.Load(dir.Path(), f[0], reporter));
        ASSERT_TRUE(today.Load(dir.Path(), f[0], reporter, kToday));
        const std::string_view got[] = {on.Title(), on.Artist(), on.Album(), on.Year(),
                                        on.Comment()};
        const std::string_view before[] = {today.Title(), today.Artist(), today.Album(),
                                           today.Year(), today.Comment()};
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(got[i], f[i + 1] == "-" ? std::string(before[i]) : Unhex(f[i + 1]))
                << "field " << i;
        EXPECT_EQ(on.GetGenreName(), TableGenre(Unhex(f[6]), today.GetGenreName()));
        EXPECT_EQ(today.Title(), "");
        EXPECT_EQ(today.Genre(), kGenreNone);
        EXPECT_EQ(std::string(on.BitrateText()) + on.FormatDuration(on.Duration()),
                  std::string(today.BitrateText()) + today.FormatDuration(today.Duration()));

        // An ID3v1 tag written by the properties sheet takes over from the ID3v2 tag.
        on.SetTitle("Edited");
        ASSERT_TRUE(on.WriteTag().Written());
        CMp3File edited;
        CMp3File editedToday;
        ASSERT_TRUE(edited.Load(dir.Path(), f[0], reporter));
        ASSERT_TRUE(editedToday.Load(dir.Path(), f[0], reporter, kToday));
        EXPECT_EQ(edited.Title(), "Edited");
        EXPECT_EQ(Record(edited), Record(editedToday));
    }
    EXPECT_EQ(files, 13);
}
