// The filter's words against tag texts in UTF-8 and in Latin-1: case and accents count for
// nothing either way, in Latin letters and beyond; other marks count.
#include "views/TrackFilter.h"
#include "TrackFiles.h"

#include <gtest/gtest.h>

namespace {

struct SMatch {
    const char* title; // the tag's bytes
    const char* typed; // UTF-8
    bool found;
};

const SMatch kMatches[] = {
    {"Bj\xc3\xb6rk", "bjork", true},                                // UTF-8 tag, plain word
    {"Bj\xf6rk", "bjork", true},                                    // Latin-1 tag
    {"bjork", "BJ\xc3\x96RK", true},                                // accented word, plain tag
    {"BJ\xf6RK", "bj\xc3\xb6rk", true},                             // both accented, cases apart
    {"Cafe\xcc\x81 Noir", "caf\xc3\xa9 noir", true},                // a decomposed accent
    {"\xd0\x91\xd0\x90\xd0\xa0", "\xd0\xb1\xd0\xb0\xd1\x80", true}, // Cyrillic capitals
    {"\xed\x95\x9c\xea\xb8\x80", "\xed\x95\x9c", true},             // Hangul: the whole fold
    {"\xef\xac\x81ne", "FINE", true},                               // a ligature
    {"Bjork", "bj\xc3\xb6rn", false},
    {"Abc", "\xc3\xa9", false}, // "é" is an "e"
    {"\xed\x95\x9c", "\xea\xb8\x80", false},
};

TEST(TrackFilter, IgnoresCaseAndAccentsBothWays) {
    for (const SMatch& m : kMatches) {
        const CTrackFiles files({{"t.mp3", m.title, "Artist"}});
        const CTrackFilter filter(QString::fromUtf8(m.typed));
        EXPECT_EQ(filter.Matches(*files[0], {EFieldId::File, EFieldId::Title}), m.found)
            << m.title << " / " << m.typed;
    }
}

TEST(TrackFilter, EveryWordInSomeFieldNeverAcrossTwo) {
    const CTrackFiles files({{"a.mp3", "Jo\xc3\xabl", "Ann"}, {"b.mp3", "Blue", "Ann"}});
    const std::vector<EFieldId> fields{EFieldId::Title, EFieldId::Artist};
    EXPECT_EQ(CTrackFilter(QStringLiteral("ANN joel")).Apply(files.Pointers(), fields),
              TrackArray{files[0]});
    EXPECT_TRUE(CTrackFilter(QStringLiteral("blueann")).Apply(files.Pointers(), fields).empty());
    EXPECT_TRUE(CTrackFilter(QStringLiteral(" \u0301 ")).IsEmpty()) << "an accent alone";
}

} // namespace
