#include "platform/AtomicFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using EResult = CAtomicFile::EResult;

struct SLinkCase {
    const char* name;
    bool followLink;
    uid_t linkOwner;    // 65534: planted by nobody
    bool targetWritten; // else the link itself is replaced
};

void PrintTo(const SLinkCase& c, std::ostream* out) {
    *out << c.name;
}

class CAtomicLink : public testing::TestWithParam<SLinkCase> {};

// A link at the name is replaced itself, unless the caller asks for it to be followed and it is
// the user's own: a link that another user put in a shared folder never sends the write on.
TEST_P(CAtomicLink, FollowsOnlyALinkOfTheUsersOwnWhenAsked) {
    const SLinkCase& c = GetParam();
    CTempDir dir;
    const std::string victim = dir.Write("home/.profile", "PATH=/bin\n");
    const std::string name = dir / "shared/~playlst.m3u";
    fs::create_directories(dir / "shared");
    fs::create_symlink(victim, name);
    ASSERT_EQ(::lchown(name.c_str(), c.linkOwner, c.linkOwner), 0);
    EXPECT_EQ(CAtomicFile::Replace(name, "new\n", {.followLink = c.followLink}), EResult::Written);
    EXPECT_EQ(ReadFileBytes(victim), c.targetWritten ? "new\n" : "PATH=/bin\n");
    EXPECT_EQ(fs::is_symlink(name), c.targetWritten);
    EXPECT_EQ(ReadFileBytes(name), "new\n");
    struct stat st {};
    ASSERT_EQ(::stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u) << "a planted link lends the new file no owner";
}

// clang-format off
const SLinkCase kLinkCases[] = {
    {"PlantedNotFollowed", false, 65534, false},
    {"PlantedNeverFollowed", true, 65534, false},
    {"OwnNotFollowedUnlessAsked", false, 0, false},
    {"OwnFollowedWhenAsked", true, 0, true},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, CAtomicLink, testing::ValuesIn(kLinkCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Written in pieces, the file appears whole at the commit; given up, the old one stays and
// nothing is left beside it.
TEST(AtomicFile, PiecesAppearAtTheCommitOnly) {
    CTempDir dir;
    const std::string path = dir.Write("snapshot", "old");
    {
        CAtomicFile file;
        ASSERT_EQ(file.Open(path, {.mode = 0600}), EResult::Written);
        EXPECT_TRUE(file.Write("one, "));
        EXPECT_TRUE(file.Write(std::string(100000, 'x')));
        EXPECT_EQ(ReadFileBytes(path), "old");
        EXPECT_EQ(file.Commit(), EResult::Written);
    }
    EXPECT_EQ(ReadFileBytes(path), "one, " + std::string(100000, 'x'));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    {
        CAtomicFile file;
        ASSERT_EQ(file.Open(path, {}), EResult::Written);
        file.Write("abandoned");
    }
    EXPECT_EQ(ReadFileBytes(path), "one, " + std::string(100000, 'x'));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

} // namespace

// A file that cannot be made leaves the names it tried alone: they are another writer's.
TEST(AtomicFile, AFailedOpenRemovesNothing) {
    CTempDir dir;
    const std::string path = dir.Write("snapshot", "old");
    const std::string stem = "." + std::string("snapshot.") + std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt)
        dir.Write(stem + std::to_string(attempt) + ".tmp", "theirs");
    {
        CAtomicFile file;
        EXPECT_EQ(file.Open(path, {}), EResult::CannotCreate);
    }
    EXPECT_EQ(CAtomicFile::Replace(path, "new", {}), EResult::CannotCreate);
    EXPECT_EQ(ReadFileBytes(dir / (stem + "99.tmp")), "theirs");
    EXPECT_EQ(ReadFileBytes(path), "old");
}
