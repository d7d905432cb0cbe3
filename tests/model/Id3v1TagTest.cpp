#include "model/Id3v1Tag.h"
#include "model/GenreTable.h"
#include "support/Mp3Maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

CId3v1Tag::Block ToBlock(const std::string& bytes) {
    CId3v1Tag::Block block{};
    std::memcpy(block.data(), bytes.data(), std::min(bytes.size(), block.size()));
    return block;
}

} // namespace

TEST(Id3v1Tag, ParsesFieldsAndTrimsTrailingWhiteSpaceOnly) {
    CId3v1Tag tag;
    ASSERT_TRUE(tag.Parse(
        ToBlock(Mp3Maker::Tag("  Title \t\r\n", "Artist   ", "Album", "1999", "note\v\f", 17))));
    EXPECT_EQ(tag.title, "  Title");
    EXPECT_EQ(tag.artist, "Artist");
    EXPECT_EQ(tag.album, "Album");
    EXPECT_EQ(tag.year, "1999");
    EXPECT_EQ(tag.comment, "note");
    EXPECT_EQ(tag.genre, 17);
}

// A field filled to its width with blanks, however long its text and wherever the blanks end.
TEST(Id3v1Tag, BlankPaddingOfAnyLengthIsTrimmed) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"a", "a"},
        {"seven77", "seven77"},
        {"eight888", "eight888"},
        {"twenty-two characters!", "twenty-two characters!"},
        {"fourteen chars", "fourteen chars"},
        {"x\t       \t", "x"},
        {"  lead  \r", "  lead"},
        {std::string(30, 'w'), std::string(30, 'w')},
    };
    for (const auto& [text, expected] : cases) {
        std::string bytes = Mp3Maker::Tag("", "", "", "", "", 0);
        bytes.replace(3, 30, text + std::string(30 - text.size(), ' '));
        CId3v1Tag tag;
        ASSERT_TRUE(tag.Parse(ToBlock(bytes)));
        EXPECT_EQ(tag.title, expected) << text;
    }
}

TEST(Id3v1Tag, MarkerIsUpperCaseOnly) {
    std::string bytes = Mp3Maker::Tag("T", "A", "B", "", "", 1);
    bytes[0] = 't';
    bytes[1] = 'a';
    bytes[2] = 'g';
    CId3v1Tag tag;
    tag.artist = "unchanged";
    EXPECT_FALSE(tag.Parse(ToBlock(bytes)));
    EXPECT_EQ(tag.artist, "unchanged");
}

TEST(Id3v1Tag, FieldsEndAtFirstNul) {
    std::string bytes = Mp3Maker::Tag("Hello", "", "", "", "", 0);
    bytes[3 + 2] = '\0'; // "He\0lo"
    // ID3v1.1: byte 28 of the comment is NUL and byte 29 the track number.
    std::string comment(28, 'c');
    for (std::size_t i = 0; i < comment.size(); ++i)
        bytes[97 + i] = comment[i];
    bytes[97 + 28] = '\0';
    bytes[97 + 29] = 7;
    CId3v1Tag tag;
    ASSERT_TRUE(tag.Parse(ToBlock(bytes)));
    EXPECT_EQ(tag.title, "He");
    EXPECT_EQ(tag.comment, comment);
    EXPECT_EQ(tag.artist, "") << "an all-NUL artist is empty, not undefined";
}

TEST(Id3v1Tag, FormatPadsWithBlanksAndParseReadsItBack) {
    CId3v1Tag tag;
    tag.title = "A title";
    tag.artist = std::string(30, 'x');
    tag.album = std::string(40, 'y'); // longer than the field: cut to 30 bytes
    tag.year = "20245";
    tag.comment = "\xE9t\xE9"; // Latin-1 bytes stay bytes
    tag.genre = 0;
    const CId3v1Tag::Block block = tag.Format();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data()), 3), "TAG");
    EXPECT_EQ(block[3 + 7], ' ');
    EXPECT_EQ(block[3 + 29], ' ');
    EXPECT_EQ(block[127], 0);

    CId3v1Tag back;
    ASSERT_TRUE(back.Parse(block));
    EXPECT_EQ(back.title, "A title");
    EXPECT_EQ(back.artist, tag.artist);
    EXPECT_EQ(back.album, std::string(30, 'y'));
    EXPECT_EQ(back.year, "2024");
    EXPECT_EQ(back.comment, tag.comment);
    EXPECT_EQ(back.genre, 0);
    EXPECT_EQ(back.Format(), block) << "reading and writing mirror each other";
}

TEST(GenreTable, NamesByNumber) {
    EXPECT_EQ(genreNames[0], "Blues");
    EXPECT_EQ(genreNames[79], "Hard Rock");
    EXPECT_EQ(genreNames[133], "Afro-Punk");
    EXPECT_EQ(genreNames[147], "Synthpop");
    EXPECT_EQ(genreNames[kGenreNone], "");
    EXPECT_EQ(genreNames.size(), 149u);
}
