// The search through folded texts: a word is found only within one track's text, also where
// the texts go on in a second chunk, and a narrowed search looks at its candidates alone.
#include "views/FilterSearch.h"
#include "views/FoldedIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using Positions = CFilterSearch::Positions;

Positions SearchAll(const CFoldedIndex& index, CFilterSearch search, std::size_t step) {
    while (!search.Step(index, step)) {
    }
    return search.Found();
}

// Texts of 60 bytes, past the first chunk of a megabyte; `needle` where `at` says, one text
// longer than a chunk, and "ab" split over the end of one text and the start of the next.
TEST(FilterSearch, FindsAWordOnlyWithinOneTextAcrossChunks) {
    CFoldedIndex index;
    const std::size_t count = 20000;
    // The texts after the long one fill a chunk from track 101 to 17576.
    const Positions at{0, 17576, 17577, 19000, count - 1};
    for (std::size_t i = 0; i < count; ++i) {
        std::string text(60, 'x');
        if (std::find(at.begin(), at.end(), i) != at.end())
            text.replace(i % 50, 6, "needle");
        if (i == 100)
            text += std::string(2 << 20, 'y') + "needle";
        if (i == 200)
            text.back() = 'a';
        if (i == 201)
            text.front() = 'b';
        index.Append(text);
    }
    ASSERT_EQ(index.Chunks().size(), 4U);
    ASSERT_EQ(index.Chunks()[3].firstTrack, 17577U);
    Positions expected = at;
    expected.insert(expected.begin() + 1, 100);
    for (const std::size_t step : {std::size_t{1}, std::size_t{7}, count}) {
        EXPECT_EQ(SearchAll(index, CFilterSearch({"needle"}), step), expected) << step;
        EXPECT_EQ(SearchAll(index, CFilterSearch({"needle", "yy"}), step), Positions{100}) << step;
        EXPECT_TRUE(SearchAll(index, CFilterSearch({"ab"}), step).empty()) << "across two texts";
        EXPECT_EQ(SearchAll(index, CFilterSearch({"needle"}, {0, 5, 100, 19000}), step),
                  (Positions{0, 100, 19000}))
            << "the candidates only";
    }
    EXPECT_EQ(index.Text(201).substr(0, 2), "bx");
}

} // namespace
