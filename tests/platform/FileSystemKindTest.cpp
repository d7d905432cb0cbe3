#include "platform/FileSystemKind.h"

#include <gtest/gtest.h>

#include <linux/magic.h>

namespace {

struct SKind {
    const char* name;
    std::uint64_t type;
    bool shared;
};

// The network file systems and FUSE are looked at; local ones are watched.
constexpr SKind kKinds[] = {
    {"NFS", NFS_SUPER_MAGIC, true},
    {"SMB", SMB_SUPER_MAGIC, true},
    {"CIFS", 0xFF534D42, true},
    {"SMB2", 0xFE534D42, true},
    {"FUSE", 0x65735546, true},
    {"Ceph", 0x00C36400, true},
    {"9P", V9FS_MAGIC, true},
    {"AFS", AFS_SUPER_MAGIC, true},
    {"ext4", EXT4_SUPER_MAGIC, false},
    {"tmpfs", TMPFS_MAGIC, false},
    {"btrfs", BTRFS_SUPER_MAGIC, false},
    {"XFS", XFS_SUPER_MAGIC, false},
    {"overlay", OVERLAYFS_SUPER_MAGIC, false},
    {"unknown", 0, false},
};

} // namespace

TEST(FileSystemKind, SharedTypes) {
    for (const SKind& kind : kKinds)
        EXPECT_EQ(CFileSystemKind::IsShared(kind.type), kind.shared) << kind.name;
    // A sign-extended f_type reads as its 32 bits.
    EXPECT_EQ(CFileSystemKind::TypeOf("/proc"), PROC_SUPER_MAGIC);
    EXPECT_EQ(CFileSystemKind::TypeOf("/nonexistent/folder"), 0U);
}
