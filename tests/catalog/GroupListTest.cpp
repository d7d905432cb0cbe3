#include "catalog/GroupList.h"
#include "catalog/ArtistGroup.h"
#include "model/Mp3File.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory_resource>
#include <string>
#include <vector>

// Thousands of names in an order that keeps coming back to old ones, against a plain map: the
// groups stand in order of first appearance, each with every track filed under its name as it
// shows ("Björk" in Latin-1 and in UTF-8 is one name, "a" and "A" are two). The list is then
// cleared and filled again from the same memory.
TEST(GroupList, FindsEveryGroupPastTheScanAndAfterAClear) {
    std::vector<std::string> names = {"",
                                      "a",
                                      "A",
                                      std::string("a\0b", 3),
                                      "a long name past the small buffer",
                                      "Bj\xF6rk",
                                      "Bj\xC3\xB6rk",
                                      "\xC3\xB6"};
    for (int i = 0; i < 3000; ++i)
        names.push_back("Artist " + std::to_string(i));
    std::vector<CMp3File> tracks(20000);
    std::pmr::monotonic_buffer_resource memory;
    TGroupList<CArtistGroup> groups(&memory);
    for (int round = 0; round < 2; ++round) {
        std::vector<std::string> order;
        std::map<std::string, std::vector<CMp3File*>> expected;
        for (std::size_t step = 0; step < 20000; ++step) {
            const std::string& name = names[(step * 7919 + step / 13) % names.size()];
            const std::string shown = CUtf8::DisplayText(name);
            CMp3File* track = &tracks[step];
            if (expected.find(shown) == expected.end())
                order.push_back(name);
            expected[shown].push_back(track);
            groups.FindOrAdd(name).tracks.push_back(track);
        }
        ASSERT_EQ(groups.GetSize(), order.size());
        ASSERT_EQ(order.size(), names.size() - 1) << "the two forms of Bj\xC3\xB6rk are one";
        for (std::size_t i = 0; i < order.size(); ++i) {
            ASSERT_EQ(groups[i].name, order[i]) << i;
            ASSERT_TRUE(std::equal(groups[i].tracks.begin(), groups[i].tracks.end(),
                                   expected[CUtf8::DisplayText(order[i])].begin(),
                                   expected[CUtf8::DisplayText(order[i])].end()))
                << order[i];
        }
        groups.Clear();
        memory.release();
        EXPECT_EQ(groups.GetSize(), 0u);
    }
}
