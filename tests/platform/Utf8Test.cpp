#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct SShownCase {
    const char* a;
    const char* b;
    int order; // of a against b, as the texts show
};

// "\xF6" is o-umlaut read as Latin-1, "\xC3\xB6" the same letter in UTF-8; "\xE6\x97\xA5" is a
// character beyond Latin-1.
const SShownCase kShownCases[] = {
    {"Bj\xF6rk", "Bj\xC3\xB6rk", 0},
    {"Bj\xC3\xB6rk", "Bj\xF6rk", 0},
    {"Bj\xF6rk", "Bj\xC3\xB6rn", -1},
    {"Bj\xF6r", "Bj\xC3\xB6rk", -1},
    {"\xE6\x97\xA5", "\xFF", 1},         // U+65E5 after U+00FF
    {"\xFF", "\xC3\xBF", 0},             // y-umlaut both ways
    {"Zebra", "apple", -1},              // case-sensitive, by code
    {"\xC3\x28", "\xC3\x28", 0},         // the same broken bytes
    {"\xC3\xA9", "\xC3\x83\xC2\xA9", 1}, // U+00E9 after U+00C3 U+00A9
};

} // namespace

TEST(Utf8, TextsCompareAsTheyShow) {
    for (const SShownCase& c : kShownCases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(CUtf8::CompareShown(c.a, c.b), c.order);
        EXPECT_EQ(CUtf8::CompareShown(c.b, c.a), -c.order);
        EXPECT_EQ(CUtf8::SameShown(c.a, c.b), c.order == 0);
        if (c.order == 0) {
            EXPECT_EQ(CUtf8::HashShown(c.a), CUtf8::HashShown(c.b));
        }
    }
}

TEST(Utf8, Latin1FormOnlyWhenItShowsTheSame) {
    EXPECT_EQ(CUtf8::Latin1("Bj\xC3\xB6rk"), "Bj\xF6rk");
    EXPECT_EQ(CUtf8::Latin1("Bj\xF6rk"), "Bj\xF6rk");
    EXPECT_EQ(CUtf8::Latin1("plain"), "plain");
    EXPECT_EQ(CUtf8::Latin1("\xE6\x97\xA5"), std::nullopt);
    // U+00C3 U+00A9 as Latin-1 bytes would read back as UTF-8 U+00E9.
    EXPECT_EQ(CUtf8::Latin1("\xC3\x83\xC2\xA9"), std::nullopt);
}

TEST(Utf8, CutsNeverSplitACharacter) {
    EXPECT_EQ(CUtf8::CutShown("abc", 5), "abc");
    EXPECT_EQ(CUtf8::CutShown("ab\xE6\x97\xA5", 4), "ab");
    EXPECT_EQ(CUtf8::CutShown("ab\xE6\x97\xA5", 5), "ab\xE6\x97\xA5");
    EXPECT_EQ(CUtf8::CutShown("ab\xF6\xF6\xF6", 4), "ab\xF6\xF6") << "Latin-1: any byte ends one";
}

// The bytes are looked at eight at a time until one is not ASCII: a sequence, valid or broken,
// tells the same at every place among ASCII bytes, across the edge of eight and at the end.
TEST(Utf8, ValidityDoesNotDependOnWhereTheSequenceStands) {
    const std::vector<std::pair<std::string, bool>> sequences = {{"\xC3\xB6", true},
                                                                 {"\xE6\x97\xA5", true},
                                                                 {"\xF0\x9F\x8E\xB5", true},
                                                                 {"\xF6", false},
                                                                 {"\xC3", false},
                                                                 {"\xE6\x97", false},
                                                                 {"\xC0\xAF", false},
                                                                 {"\xED\xA0\x80", false},
                                                                 {"\xF4\x90\x80\x80", false},
                                                                 {"\xC3\xB6\xC3\xB6", true},
                                                                 {"\xC3\xB6\xB6", false}};
    for (const auto& [sequence, valid] : sequences)
        for (std::size_t before = 0; before < 17; ++before)
            for (const std::size_t after : {0, 1, 7, 8, 9}) {
                const std::string text =
                    std::string(before, 'a') + sequence + std::string(after, 'z');
                EXPECT_EQ(CUtf8::IsValid(text), valid) << before << " " << after;
            }
}
