#include "model/Id3v2Text.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

// A text ends at its encoding's terminator, or at the frame's end; a wide text takes the order
// of its mark, and a surrogate without its other half shows as U+FFFD. (The files that mutagen
// writes cover the common texts.)
TEST(Id3v2Text, DecodeEndsAndOrders) {
    const struct {
        std::uint8_t encoding;
        std::string bytes;
        std::string text;
    } cases[] = {
        // FF FE is written \377\376 where a letter follows, which \x would take in.
        {0, "ab\0cd"s, "ab"},
        {1, "\xFE\xFF\0A\0\xE9"s, "A\xC3\xA9"},          // big-endian mark
        {1, "A\0B\0"s, "AB"},                            // no mark: little-endian
        {1, "\377\376A\0\0\0B\0"s, "A"},                 // a zero unit ends it
        {1, "\377\376\0\001A\0"s, "\304\200A"},          // a zero byte does not
        {1, "\377\376A\0B"s, "A"},                       // an odd byte is left
        {1, "\377\376A\0\x3C\xD8"s, "A\xEF\xBF\xBD"},    // high surrogate, end
        {1, "\377\376\x3C\xD8\0\0B\0"s, "\xEF\xBF\xBD"}, // high surrogate, zero
        {2, "\xDF\xB5\0A"s, "\357\277\275A"},            // low surrogate alone
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        EXPECT_EQ(CId3v2Text::Decode(c.encoding, {bytes, c.bytes.size()}), c.text) << c.bytes;
    }
}
