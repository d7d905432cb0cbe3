#include "platform/WatchTable.h"

#include <gtest/gtest.h>

// Folders by relative path share their parents; paths are rebuilt from the root's; descriptors
// lead to one folder each.
TEST(WatchTable, FoldersByNameAndByDescriptor) {
    CWatchTable table;
    table.Reset("/music");
    const std::uint32_t cd1 = table.Make("Ann/Album/CD1");
    const std::uint32_t album = table.Child(table.Child(0, "Ann"), "Album");
    ASSERT_NE(album, CWatchTable::kNone);
    EXPECT_EQ(table.Make("Ann/Album/CD1"), cd1);
    EXPECT_EQ(table.Make(""), 0U);
    EXPECT_EQ(table.Size(), 4U);
    EXPECT_EQ(table.Path(cd1), "/music/Ann/Album/CD1");
    EXPECT_EQ(table.Child(album, "CD2"), CWatchTable::kNone);
    EXPECT_TRUE(table.Within(cd1, album));
    EXPECT_FALSE(table.Within(album, cd1));

    EXPECT_TRUE(table.SetWatch(cd1, 7));
    EXPECT_FALSE(table.SetWatch(album, 7)) << "one folder by two paths keeps its first";
    EXPECT_EQ(table.FolderOf(7), cd1);
    EXPECT_EQ(table.FolderOf(8), CWatchTable::kNone);
    EXPECT_TRUE(table.SetWatch(cd1, 9)) << "watched anew: the old descriptor leads nowhere";
    EXPECT_EQ(table.FolderOf(7), CWatchTable::kNone);
    EXPECT_EQ(table.WatchCount(), 1U);
    EXPECT_EQ(table.DropWatch(cd1), 9);
    EXPECT_EQ(table.FolderOf(9), CWatchTable::kNone);
    EXPECT_EQ(table.WatchCount(), 0U);

    // Many folders keep their names through the index's growth; the root may be "/".
    table.Reset("/");
    for (int i = 0; i < 5000; ++i)
        table.Make("a/" + std::to_string(i));
    EXPECT_EQ(table.Path(table.Child(table.Child(0, "a"), "4321")), "/a/4321");
    EXPECT_LE(table.Bytes() / table.Size(), 64U);
}
