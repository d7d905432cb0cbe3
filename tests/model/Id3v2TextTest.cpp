#include "model/Id3v2Text.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

struct SDecodeCase {
    const char* what;
    std::uint8_t encoding;
    std::string bytes;
    std::string text; // UTF-8, or the Latin-1 bytes as they are
};

std::string Decode(const SDecodeCase& c) {
    return CId3v2Text::Decode(
        c.encoding, {reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()});
}

} // namespace

// A text ends at its encoding's terminator, or at the frame's end; a wide text takes the order
// of its mark, and a surrogate without its other half shows as U+FFFD.
TEST(Id3v2Text, DecodeEndsAndOrders) {
    const SDecodeCase cases[] = {
        {"Latin-1 kept as bytes", 0, "Caf\xE9", "Caf\xE9"},
        {"Latin-1 ends at NUL", 0, "ab\0cd"s, "ab"},
        {"UTF-8 as it is", 3, "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
        {"empty", 1, "", ""},
        {"little-endian mark", 1,
         "\xFF\xFE"
         "A\0\xE9\0"s,
         "A\xC3\xA9"},
        {"big-endian mark in encoding 1", 1, "\xFE\xFF\0A\0\xE9"s, "A\xC3\xA9"},
        {"no mark: little-endian", 1, "A\0B\0"s, "AB"},
        {"encoding 2: big-endian", 2, "\0A\x65\xE5"s, "A\xE6\x97\xA5"},
        {"ends at a zero unit", 1,
         "\xFF\xFE"
         "A\0\0\0B\0"s,
         "A"},
        {"a zero byte is no end", 1,
         "\xFF\xFE"
         "\0\x01"
         "A\0"s,
         "\xC4\x80"
         "A"},
        {"an odd last byte is left", 1,
         "\xFF\xFE"
         "A\0B"s,
         "A"},
        {"surrogate pair", 1,
         "\xFF\xFE"
         "\x3C\xD8\xB5\xDF"s,
         "\xF0\x9F\x8E\xB5"},
        {"high surrogate at the end", 1,
         "\xFF\xFE"
         "A\0\x3C\xD8"s,
         "A\xEF\xBF\xBD"},
        {"high surrogate before the end", 1,
         "\xFF\xFE"
         "\x3C\xD8\0\0B\0"s,
         "\xEF\xBF\xBD"},
        {"low surrogate alone", 1,
         "\xFF\xFE"
         "\xB5\xDF"
         "A\0"s,
         "\xEF\xBF\xBD"
         "A"},
    };
    for (const SDecodeCase& c : cases)
        EXPECT_EQ(Decode(c), c.text) << c.what;
}
