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

// The table's name for mutagen's, compared in any case; a name the table lacks stays itself.
std::string TableGenre(const std::string& name) {
    const auto end = genreNames.begin() + kGenreNone;
    const auto found = std::find_if(genreNames.begin(), end,
                                    [&](std::string_view g) { return Lower(g) == Lower(name); });
    return found == end ? name : std::string(*found);
}

} // namespace

// Each field from the ID3v2 tag, or where it lacks one or leaves it empty, from the ID3v1 tag:
// ID3v2.3 with UTF-16 texts and a picture, 2.4 with UTF-8, both tags with cut ID3v1 texts,
// genres in and out of the table, TRCK "7" and "7/12", an ID3v1.1 track number.
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
        ASSERT_EQ(f.size(), 8u);
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
        EXPECT_EQ(on.GetGenreName(), f[6] == "-" ? "<Undefined>" : TableGenre(Unhex(f[6])));
        EXPECT_EQ(on.Track(), f[7] == "-" ? 0 : std::stoi(f[7]));
        EXPECT_EQ(today.Track(), today.HasTag() ? on.Track() : 0)
            << "the ID3v1 reading alone reads the ID3v1.1 track number";
        // The tag in front is no playing time: the exact reading leaves it out.
        EXPECT_EQ(on.BitrateText(), today.BitrateText());
        EXPECT_LE(on.Duration(), today.Duration());
    }
    EXPECT_EQ(files, 16);
}
