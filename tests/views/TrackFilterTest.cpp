// The filter's words against tag texts in UTF-8 and in Latin-1: case and accents count for
// nothing either way, in Latin letters and beyond; other marks count.
#include "views/TrackFilter.h"
#include "TrackFiles.h"
#include "views/FilterJob.h"

#include <QSignalSpy>
#include <QTest>

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

// Titles in many scripts, and what each text typed finds among them, by position; the search in
// the texts folded once must find what the filter finds folding each text as it goes. ("ß"
// keeps its simple case fold, not "ss".)
const std::vector<STrackFields> kScripts = {
    {"0.mp3", "Bj\xc3\xb6rk", "A"},  {"1.mp3", "Bj\xf6rk", "A"},
    {"2.mp3", "Straße", "A"},        {"3.mp3", "Ὀδυσσεύς", "A"},
    {"4.mp3", "ЁЛКА", "A"},          {"5.mp3", "東京タワー", "A"},
    {"6.mp3", "ＡＢＣ", "A"},        {"7.mp3", "ｶﾗｵｹ", "A"},
    {"8.mp3", "ガス", "A"},          {"9.mp3", "\xef\xac\x81ne", "A"},
    {"10.mp3", "Cafe\xcc\x81", "A"}, {"11.mp3", "plain ascii", "A"},
};

struct SFound {
    const char* typed;
    std::vector<std::size_t> found;
};

const SFound kFound[] = {
    {"bjork", {0, 1}},     {"BJÖRK", {0, 1}},   {"STRASSE", {}}, {"straß", {2}},
    {"ΟΔΥΣΣΕΥΣ", {3}},     {"елка", {4}},       {"Ё", {4}},      {"京", {5}},
    {"ﾀﾜｰ", {5}},          {"abc", {6}},        {"ａｂｃ", {6}}, {"カラオケ", {7}},
    {"カ", {7, 8}},        {"ガ", {8}},         {"FINE", {9}},   {"café", {10}},
    {"ascii PLAIN", {11}}, {"ascii bjork", {}}, {"ß", {2}},      {"σ", {3}},
};

TEST(TrackFilter, TextsFoldedOnceFindWhatTheFilterFinds) {
    const CTrackFiles files(kScripts);
    const TrackArray tracks = files.Pointers();
    const std::vector<EFieldId> fields{EFieldId::File, EFieldId::Title, EFieldId::Artist};
    CFilterJob job;
    QSignalSpy found(&job, &CFilterJob::Found);
    job.SetTracks(&tracks, fields);
    for (const SFound& c : kFound) {
        const CTrackFilter filter(QString::fromUtf8(c.typed));
        TrackArray expected;
        for (const std::size_t i : c.found)
            expected.push_back(files[i]);
        EXPECT_EQ(filter.Apply(tracks, fields), expected) << c.typed;
        found.clear();
        job.Search(filter);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !found.isEmpty(); })) << c.typed;
        EXPECT_EQ(job.TakePassing(), expected) << c.typed;
    }
}

} // namespace
