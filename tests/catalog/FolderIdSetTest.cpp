#include "catalog/FolderIdSet.h"

#include <gtest/gtest.h>

#include <set>

// Ids from several devices, inodes near one another and far apart, past the table's growth, each
// inserted twice and against a plain set: the same inode on two devices is two folders, and an
// inode past 48 bits (or 0) is still told apart exactly.
TEST(FolderIdSet, EntersEachFolderOnceWhereAPlainSetDoes) {
    CFolderIdSet set;
    std::set<CFolderChain::SFolderId> plain;
    const dev_t devices[] = {2049, 64770, 0, 2049};
    for (int round = 0; round < 2; ++round) {
        for (ino_t i = 0; i < 30000; ++i) {
            const ino_t inode = i % 7 == 0 ? (ino_t{1} << 50) + i : i % 5 == 0 ? i << 20 : i;
            const CFolderChain::SFolderId id{devices[i % 4], inode};
            EXPECT_EQ(set.Insert(id), plain.insert(id).second) << i << " round " << round;
        }
    }
    EXPECT_FALSE(set.Insert({2049, 4}));
    EXPECT_TRUE(set.Insert({64770, 4})) << "the same inode on another device";
    EXPECT_TRUE(set.Insert({2049, (ino_t{1} << 48) - 1}));
    EXPECT_FALSE(set.Insert({2049, (ino_t{1} << 48) - 1}));
}
