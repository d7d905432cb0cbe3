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

namespace {

// Table 3-7 of the Unicode standard, the well-formed byte sequences, by the code point each
// spells: the one reading that the validator must agree with, written the other way round.
bool WellFormed(const std::vector<unsigned char>& b) {
    const auto cont = [&b](std::size_t i) { return b[i] >= 0x80 && b[i] <= 0xBF; };
    std::size_t i = 0;
    while (i < b.size()) {
        const unsigned char lead = b[i];
        std::size_t length = lead < 0x80   ? 1
                             : lead < 0xC0 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF8 ? 4
                                           : 0;
        if (length == 0 || b.size() - i < length)
            return false;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            if (!cont(i + k))
                return false;
            c = c << 6 | (b[i + k] & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

} // namespace

// Every sequence of one to three bytes and every four-byte one with a lead from F0 on, each
// alone and after seven ASCII bytes, where the eight-byte look starts.
TEST(Utf8, AgreesWithTheTableOnEveryShortSequence) {
    std::size_t mismatches = 0;
    const auto check = [&mismatches](std::vector<unsigned char> bytes) {
        const bool expected = WellFormed(bytes);
        for (int pass = 0; pass < 2; ++pass) {
            const std::string text(bytes.begin(), bytes.end());
            if (CUtf8::IsValid(text) != expected && ++mismatches < 5)
                ADD_FAILURE() << "bytes of " << text.size() << " from " << int{bytes.back()};
            bytes.insert(bytes.begin(), 7, 'a');
        }
    };
    for (int a = 0; a < 256; ++a) {
        check({static_cast<unsigned char>(a)});
        for (int b = 0; b < 256; ++b) {
            check({static_cast<unsigned char>(a), static_cast<unsigned char>(b)});
            if (a >= 0xE0)
                for (int c = 0; c < 256; c += 3)
                    check({static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                           static_cast<unsigned char>(c)});
        }
    }
    for (int a = 0xF0; a <= 0xF5; ++a)
        for (const int b : {0x7F, 0x80, 0x8F, 0x90, 0xBF, 0xC0})
            for (const int c : {0x7F, 0x80, 0xBF, 0xC0})
                for (int d = 0; d < 256; ++d)
                    check({static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                           static_cast<unsigned char>(c), static_cast<unsigned char>(d)});
    EXPECT_EQ(mismatches, 0U);
}
