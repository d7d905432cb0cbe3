#include "platform/SafePath.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct SLookup {
    const char* name;
    const char* path;  // from the test's folder
    bool folder;       // opened with O_DIRECTORY
    const char* opens; // the text of the file opened, "" for a folder, or nullptr
    bool foreign;      // refused for a link of another user's
};

void PrintTo(const SLookup& c, std::ostream* out) {
    *out << c.name;
}

class CSafeLookup : public testing::TestWithParam<SLookup> {};

// own -> a (root's), theirs -> a (nobody's), a/up -> .., chain -> own/../own/f, loop <-> loop2,
// absolute -> the test's folder by its full path.
TEST_P(CSafeLookup, FollowsOnlyLinksOfTheUsersOrRoots) {
    const SLookup& c = GetParam();
    CTempDir dir;
    dir.Write("a/f", "the file");
    dir.Write("b/f", "b's file");
    for (const auto& [name, target] : {std::pair{"own", "a"},
                                       {"theirs", "a"},
                                       {"a/up", ".."},
                                       {"chain", "own/../own/f"},
                                       {"loop", "loop2"},
                                       {"loop2", "loop"},
                                       {"absolute", dir.Path().c_str()}})
        ASSERT_EQ(::symlink(target, (dir / name).c_str()), 0);
    ASSERT_EQ(::lchown((dir / "theirs").c_str(), 65534, 65534), 0);
    const int at = ::open(dir.Path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    bool foreign = !c.foreign;
    const int fd =
        CSafePath::Open(at, c.path, O_RDONLY | O_CLOEXEC | (c.folder ? O_DIRECTORY : 0), foreign);
    EXPECT_EQ(fd >= 0, c.opens != nullptr) << errno;
    EXPECT_EQ(foreign, c.foreign);
    char text[16] = {};
    if (fd >= 0 && !c.folder) {
        EXPECT_EQ(::pread(fd, text, sizeof text - 1, 0), static_cast<ssize_t>(strlen(c.opens)));
    }
    EXPECT_STREQ(fd >= 0 ? text : nullptr, c.opens);
    ::close(fd);
    ::close(at);
}

// clang-format off
const SLookup kLookups[] = {
    {"NoLink", "a/f", false, "the file", false},
    {"LinkToLinkWithDots", "chain", false, "the file", false},
    {"DotDotAfterALink", "own/up/b/f", false, "b's file", false},
    {"AbsoluteTarget", "absolute/absolute/own/f", false, "the file", false},
    {"ForeignInTheMiddle", "own/up/theirs/f", false, nullptr, true},
    {"ForeignLast", "theirs", false, nullptr, true},
    {"Loop", "loop/f", false, nullptr, false},
    {"Missing", "own/none", false, nullptr, false},
    {"FolderThroughALink", "own", true, "", false},
    {"ForeignFolder", "theirs", true, nullptr, true},
    {"FileAsFolder", "a/f", true, nullptr, false},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, CSafeLookup, testing::ValuesIn(kLookups),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
