#include "platform/SafePath.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

struct SLookup {
    const char* name;
    const char* path;  // from the test's folder
    const char* opens; // the text of the file opened, or nullptr
    bool foreign;      // refused for a link of another user's
};

void PrintTo(const SLookup& c, std::ostream* out) {
    *out << c.name;
}

class CSafeLookup : public testing::TestWithParam<SLookup> {};

// own -> a (root's), theirs -> a (nobody's), a/up -> .., chain -> own/../own/f, loop <-> loop2,
// absolute -> the folder itself by its full path.
TEST_P(CSafeLookup, FollowsOnlyLinksOfTheUsersOrRoots) {
    const SLookup& c = GetParam();
    CTempDir dir;
    dir.Write("a/f", "the file");
    dir.Write("b/f", "b's file");
    ASSERT_EQ(::symlink("a", (dir / "own").c_str()), 0);
    ASSERT_EQ(::symlink("a", (dir / "theirs").c_str()), 0);
    ASSERT_EQ(::lchown((dir / "theirs").c_str(), 65534, 65534), 0);
    ASSERT_EQ(::symlink("..", (dir / "a/up").c_str()), 0);
    ASSERT_EQ(::symlink("own/../own/f", (dir / "chain").c_str()), 0);
    ASSERT_EQ(::symlink("loop2", (dir / "loop").c_str()), 0);
    ASSERT_EQ(::symlink("loop", (dir / "loop2").c_str()), 0);
    ASSERT_EQ(::symlink(dir.Path().c_str(), (dir / "absolute").c_str()), 0);
    const int folder = ::open(dir.Path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    bool foreign = true;
    const int fd = CSafePath::Open(folder, c.path, O_RDONLY | O_CLOEXEC, foreign);
    EXPECT_EQ(fd >= 0, c.opens != nullptr);
    EXPECT_EQ(foreign, c.foreign);
    if (fd >= 0) {
        char text[16] = {};
        EXPECT_EQ(::pread(fd, text, sizeof text - 1, 0), static_cast<ssize_t>(strlen(c.opens)));
        EXPECT_STREQ(text, c.opens);
        ::close(fd);
    }
    ::close(folder);
}

// clang-format off
const SLookup kLookups[] = {
    {"NoLink", "a/f", "the file", false},
    {"OwnLink", "own/f", "the file", false},
    {"LinkToLinkWithDots", "chain", "the file", false},
    {"DotDotAfterALink", "own/up/b/f", "b's file", false},
    {"AbsoluteTarget", "absolute/absolute/own/f", "the file", false},
    {"ForeignInTheMiddle", "own/up/theirs/f", nullptr, true},
    {"ForeignLast", "theirs", nullptr, true},
    {"Loop", "loop/f", nullptr, false},
    {"Missing", "own/none", nullptr, false},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, CSafeLookup, testing::ValuesIn(kLookups),
                         [](const auto& row) { return std::string(row.param.name); });

// A folder asked for (O_DIRECTORY): a link to one is refused by the first look (ENOTDIR, not
// ELOOP) and then followed when it may be; a file stays ENOTDIR.
TEST(SafePath, FolderLinks) {
    CTempDir dir;
    dir.Write("a/f", "the file");
    ASSERT_EQ(::symlink("a", (dir / "own").c_str()), 0);
    ASSERT_EQ(::symlink("a", (dir / "theirs").c_str()), 0);
    ASSERT_EQ(::lchown((dir / "theirs").c_str(), 65534, 65534), 0);
    const int folder = ::open(dir.Path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    bool foreign = true;
    const int own = CSafePath::Open(folder, "own", flags, foreign);
    EXPECT_GE(own, 0);
    EXPECT_FALSE(foreign);
    EXPECT_EQ(CSafePath::Open(folder, "theirs", flags, foreign), -1);
    EXPECT_TRUE(foreign);
    EXPECT_EQ(CSafePath::Open(folder, "a/f", flags, foreign), -1);
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_FALSE(foreign);
    ::close(own);
    ::close(folder);
}

} // namespace
