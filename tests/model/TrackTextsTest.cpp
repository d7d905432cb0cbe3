#include "model/TrackTexts.h"
#include "model/TextPool.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Texts that total just below and just past each width of the ends, read back whole, then each
// text set on its own so that the block changes width under it.
TEST(TrackTexts, EveryTextReadsBackAcrossTheWidthsOfTheEnds) {
    using ESlot = CTrackTexts::ESlot;
    for (const std::size_t total : {0, 1, 255, 256, 65535, 65536, 70000}) {
        std::vector<std::string> texts(CTrackTexts::kCount);
        for (std::size_t i = 0; i < total; ++i)
            texts[i * 7 % texts.size()] += static_cast<char>('a' + i % 26);
        CTrackTexts::Values values;
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = texts[i];
        CTrackTexts block;
        block.Assign(values);
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(block.Get(static_cast<ESlot>(i)), texts[i]) << total << " " << i;
        EXPECT_EQ(block.Bytes().size(), total);
        block.Set(ESlot::Comment, std::string(300, '\xC3'));
        EXPECT_FALSE(block.AllUtf8());
        EXPECT_EQ(block.Get(ESlot::Comment).size(), 300u);
        EXPECT_EQ(block.Get(ESlot::FileName), texts[0]) << total;
        block.Set(ESlot::Comment, "");
        EXPECT_TRUE(block.AllUtf8());
        EXPECT_EQ(block.Get(ESlot::GenreName), texts.back()) << total;
    }
}

// Pooled texts: a block too large for the pool stays on the heap, an edit moves the texts to the
// heap, and a copy or a move reads on after the pool is gone.
TEST(TrackTexts, PooledTextsOutliveNeitherEditsNorTheirPool) {
    using ESlot = CTrackTexts::ESlot;
    auto pool = std::make_unique<CTextPool>();
    CTrackTexts small, large;
    const std::string comment(200000, 'c');
    small.Assign({"a.mp3", "Title"}, pool.get());
    large.Assign({"b.mp3", {}, {}, {}, {}, comment}, pool.get());
    EXPECT_TRUE(small.Pooled());
    EXPECT_FALSE(large.Pooled());
    EXPECT_EQ(large.Get(ESlot::Comment), comment);
    CTrackTexts edited = small;
    edited.MoveInto(*pool);
    edited.Set(ESlot::Artist, "Artist");
    EXPECT_FALSE(edited.Pooled());
    CTrackTexts moved = std::move(small);
    CTrackTexts copied = moved;
    // Taken over by another list: into that list's pool, and what is known of it goes along.
    CTextPool otherPool;
    CTrackTexts taken, latin1;
    taken.CopyFrom(small, &otherPool);
    latin1.Assign({"\xE9.mp3"}, pool.get());
    const CTrackTexts latin1Copy = latin1;
    EXPECT_TRUE(taken.Pooled());
    EXPECT_FALSE(latin1Copy.Pooled());
    EXPECT_FALSE(latin1Copy.AllUtf8());
    latin1.Release(*pool);
    small.Release(*pool);
    pool.reset();
    for (const CTrackTexts* texts : {&moved, &copied, &edited, &taken}) {
        EXPECT_EQ(texts->Get(ESlot::FileName), "a.mp3");
        EXPECT_EQ(texts->Get(ESlot::Title), "Title");
    }
    EXPECT_EQ(edited.Get(ESlot::Artist), "Artist");
}

// The texts are checked as one: a sequence split between two texts, valid as a whole, leaves
// each half invalid, and texts that are each valid stay so, next to one another or alone.
TEST(TrackTexts, EachTextIsValidUtf8OnItsOwn) {
    struct SCase {
        CTrackTexts::Values values;
        bool utf8;
    };
    const SCase cases[] = {
        {{"caf\xC3", "\xA9 noir"}, false},
        {{"a.mp3", "", "\xC3\xA9t\xC3\xA9", "\xE5\xA4\x9C"}, true},
        {{"a.mp3", "\xE5\xA4", "\x9C"}, false},
        {{"a.mp3", "\xC3\xA9t\xC3"}, false},
        {{"\xA9.mp3"}, false},
    };
    for (const SCase& c : cases) {
        // Also with the last text known valid, as a repeated one is: the others are looked at.
        for (const std::uint16_t known : {0, 1 << (CTrackTexts::kCount - 1)}) {
            CTrackTexts texts;
            texts.Assign(c.values, nullptr, static_cast<std::uint16_t>(known));
            EXPECT_EQ(texts.AllUtf8(), c.utf8) << c.values[0] << c.values[1] << known;
        }
    }
}
