#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <string>

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
