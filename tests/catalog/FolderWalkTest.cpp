#include "catalog/Hints.h"
#include "model/Mp3File.h"
#include "model/TagWriter.h"
#include "support/CatalogFixture.h"
#include "support/ChildProcess.h"
#include "support/Mp3Maker.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using FolderWalk = CCatalogFixture;
using Paths = std::vector<std::string>;

TEST_F(FolderWalk, FilesInNameOrderThenSubdirectoriesDepthFirst) {
    Track("Jazz/b.mp3", "B");
    Track("Jazz/a.mp3", "A");
    Track("Jazz/Z.mp3", "Z");
    Track("Jazz/Jazz/self-titled.mp3", "S");
    Track("Jazz/jazz/walked.mp3", "W");
    Track("Jazz/sub/deeper/d.mp3", "D");
    Track("Jazz/sub/c.mp3", "C");
    dir.Write("Jazz/notes.txt", "not a track");
    dir.Write("Jazz/short.mp3", "too short");
    settings.UseCachedCatalog = 0;
    CQuavDoc doc(settings, &profile, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "Jazz"));
    EXPECT_EQ(RelativePaths(doc),
              (Paths{"Jazz/Z.mp3", "Jazz/a.mp3", "Jazz/b.mp3", "Jazz/Jazz/self-titled.mp3",
                     "Jazz/jazz/walked.mp3", "Jazz/sub/c.mp3", "Jazz/sub/deeper/d.mp3"}));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(FolderWalk, PatternAndEntriesThatAreNotFiles) {
    Track("m/a.MP3", "A");
    Track("m/b.mp2", "B");
    Track("m/dir.mp3/inside.mp3", "I");
    ASSERT_EQ(::mkfifo((dir / "m/pipe.mp3").c_str(), 0644), 0);
    settings.UseCachedCatalog = 0;
    {
        CQuavDoc doc(settings, &profile, reporter);
        ASSERT_TRUE(doc.OpenAddress(dir / "m"));
        EXPECT_EQ(RelativePaths(doc), (Paths{"m/a.MP3", "m/dir.mp3/inside.mp3"}));
    }
    settings.FileExt = "*.mp2";
    CQuavDoc doc(settings, &profile, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    EXPECT_EQ(RelativePaths(doc), (Paths{"m/b.mp2"}));
}

TEST_F(FolderWalk, LinksAreFollowedAndCyclesEnd) {
    Track("root/a.mp3", "A");
    Track("elsewhere/e.mp3", "E");
    ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), (dir / "root/link").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "root").c_str(), (dir / "root/loop").c_str()), 0);
    ASSERT_EQ(::symlink("../root", (dir / "elsewhere/back").c_str()), 0);
    settings.UseCachedCatalog = 0;
    CQuavDoc doc(settings, &profile, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "root"));
    EXPECT_EQ(RelativePaths(doc), (Paths{"root/a.mp3", "root/link/e.mp3"}));
}

TEST_F(FolderWalk, UnreadableDirectoryContributesNothing) {
    Track("u/a.mp3", "A");
    Track("u/closed/b.mp3", "B");
    ::chmod((dir / "u/closed").c_str(), 0);
    settings.UseCachedCatalog = 0;
    CQuavDoc doc(settings, &profile, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "u"));
    // Root reads it anyway; what matters is that the walk goes on either way.
    EXPECT_GE(doc.GetTrackList().GetSize(), 1u);
    EXPECT_EQ(doc.GetTrackList().GetAt(0)->FileName(), "a.mp3");
}

TEST_F(FolderWalk, ProgressCountsEveryFileSeen) {
    for (int i = 0; i < 5; ++i)
        Track("p/t" + std::to_string(i) + ".mp3", "A");
    dir.Write("p/bad.mp3", "short");
    settings.UseCachedCatalog = 0;
    CQuavDoc doc(settings, &profile, reporter);
    std::vector<std::size_t> seen;
    doc.SetProgress([&](std::size_t n, std::size_t) { seen.push_back(n); });
    ASSERT_TRUE(doc.OpenAddress(dir / "p"));
    EXPECT_EQ(seen, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(doc.GetTrackList().GetSize(), 5u);
}

// A stop ends the walk after the file being read: what was read is the catalog, marked as
// incomplete, and no snapshot is made of it. The next walk expects as many files as the
// snapshot holds, or, without one, as the last whole walk saw.
TEST_F(FolderWalk, AStoppedWalkKeepsWhatWasReadAndStoresNothing) {
    for (int i = 0; i < 40; ++i)
        Track("s/d" + std::to_string(i % 3) + "/t" + std::to_string(i) + ".mp3", "A");
    CQuavDoc doc(settings, &profile, reporter);
    std::vector<std::size_t> estimates;
    doc.SetProgress([&](std::size_t seen, std::size_t estimate) {
        estimates.push_back(estimate);
        if (seen == 2)
            doc.RequestStop();
    });
    ASSERT_TRUE(doc.OpenAddress(dir / "s"));
    EXPECT_EQ(RelativePaths(doc), (Paths{"s/d0/t0.mp3", "s/d0/t12.mp3"}));
    EXPECT_TRUE(doc.IsIncomplete());
    EXPECT_EQ(doc.GetTitle(), dir / "s (incomplete)");
    EXPECT_FALSE(std::filesystem::exists(dir / "s/mp3cache.qvc"));
    EXPECT_EQ(estimates, (std::vector<std::size_t>{0, 0}));

    estimates.clear();
    doc.SetProgress([&](std::size_t, std::size_t estimate) { estimates.push_back(estimate); });
    doc.Refresh();
    EXPECT_EQ(doc.GetTrackList().GetSize(), 40u);
    EXPECT_FALSE(doc.IsIncomplete());
    EXPECT_EQ(doc.GetTitle(), dir / "s");
    ASSERT_TRUE(std::filesystem::exists(dir / "s/mp3cache.qvc"));
    EXPECT_EQ(estimates.front(), 0u);
    estimates.clear();
    doc.Refresh();
    EXPECT_EQ(estimates.front(), 40u) << "the last whole walk";
    CQuavDoc fresh(settings, &profile, reporter);
    fresh.SetProgress([&](std::size_t, std::size_t estimate) { estimates.push_back(estimate); });
    fresh.OpenAddress(dir / "s");
    estimates.clear();
    fresh.Refresh();
    EXPECT_EQ(estimates.front(), 40u) << "the snapshot's count";
}

// Links that another user put in a shared folder, made by nobody in a child: the walk neither
// enters the folder one names nor reads the file the other names, and the writer writes neither.
TEST_F(FolderWalk, LinksOfOtherUsersAreNotFollowed) {
    const std::string secret = Track("home/private/secret.mp3", "S");
    Track("shared/mine.mp3", "M");
    const std::string bytes = ReadFileBytes(secret);
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod((dir / "shared").c_str(), 01777);
    const EChildResult planted = RunAsNobody([&] {
        return ::symlink((dir / "home/private").c_str(), (dir / "shared/album").c_str()) == 0 &&
               ::symlink(secret.c_str(), (dir / "shared/track.mp3").c_str()) == 0;
    });
    if (planted == EChildResult::Skipped)
        GTEST_SKIP() << "cannot drop privileges here";
    ASSERT_EQ(planted, EChildResult::Passed);
    settings.UseCachedCatalog = 0;
    CQuavDoc doc(settings, &profile, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "shared"));
    EXPECT_EQ(RelativePaths(doc), (Paths{"shared/mine.mp3"}));
    const std::pair<const char*, const char*> throughLinks[] = {{"shared/album", "secret.mp3"},
                                                                {"shared", "track.mp3"}};
    for (const auto& [folder, name] : throughLinks) {
        CMp3File track;
        track.Load(dir / folder, name, reporter);
        EXPECT_EQ(CTagWriter(true).Write(track, {.genre = 5}).reason,
                  STagWriteResult::EReason::ForeignLink);
    }
    EXPECT_EQ(ReadFileBytes(secret), bytes);
}

// Root opens anything: the unreadable file is tried as nobody, in a child process.
TEST_F(FolderWalk, UnopenableFileIsReportedWithItsPathAndListed) {
    Track("r/a.mp3", "A");
    const std::string locked = Track("r/b.mp3", "B");
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod((dir / "r").c_str(), 0755);
    ::chmod(locked.c_str(), 0);
    settings.UseCachedCatalog = 0;
    const EChildResult result = RunAsNobody([&] {
        CQuavDoc doc(settings, nullptr, reporter);
        return doc.OpenAddress(dir / "r") && doc.GetTrackList().GetSize() == 2 &&
               reporter.messages.size() == 1 &&
               reporter.messages[0].text == "Error opening file: " + locked &&
               doc.GetTrackList().GetAt(1)->Artist() == "<Undefined>";
    });
    if (result == EChildResult::Skipped)
        GTEST_SKIP() << "cannot drop privileges here";
    EXPECT_EQ(result, EChildResult::Passed);
}

// Both tmpfs mounts number their inodes alike: only each folder's own device tells them apart.
TEST_F(FolderWalk, FoldersOnDifferentMountsAreBothWalked) {
    const std::vector<std::string> mounts{dir.MakeDir("X/m1"), dir.MakeDir("X/m2")};
    settings.UseCachedCatalog = 0;
    const EChildResult result = RunWithTmpfsMounts(mounts, [&] {
        Track("X/m1/a/t.mp3", "A");
        Track("X/m2/b/t.mp3", "B");
        CQuavDoc doc(settings, nullptr, reporter);
        return doc.OpenAddress(dir / "X") &&
               RelativePaths(doc) == Paths{"X/m1/a/t.mp3", "X/m2/b/t.mp3"};
    });
    if (result == EChildResult::Skipped)
        GTEST_SKIP() << "cannot mount a tmpfs in a mount namespace of the test's own here";
    EXPECT_EQ(result, EChildResult::Passed);
}

namespace {

// `depth` folders, "a" and "b" by turns, each inside the one before, with a track every `every`
// levels. Made through descriptors, since the paths outgrow the system's limit.
void MakeDeepChain(const std::string& root, int depth, int every, const std::string& track) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; fd >= 0; ++level) {
        if (level % every == 0) {
            const int file = ::openat(fd, "t.mp3", O_WRONLY | O_CREAT, 0644);
            ASSERT_EQ(::write(file, track.data(), track.size()), std::ssize(track));
            ::close(file);
        }
        const char* name = level % 2 == 0 ? "a" : "b";
        const int next = level == depth || ::mkdirat(fd, name, 0755) != 0
                             ? -1
                             : ::openat(fd, name, O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
}

// "/a/b/a…", `depth` folders of a chain.
std::string ChainPath(int depth) {
    std::string path;
    for (int i = 0; i < depth; ++i)
        path += i % 2 == 0 ? "/a" : "/b";
    return path;
}

} // namespace

// Far deeper than a path may be long, and with fewer descriptors than there are levels. A link
// near the top leads 40 levels down elsewhere: the folder above it, closed meanwhile, is found
// again although the link's own ".." is not that folder. The 20,000 folders are made in memory
// where a memory file system is at hand: on a disk, making and removing them takes long.
TEST_F(FolderWalk, DeepFoldersAreWalkedWithFewDescriptors) {
    const CTempDir deep(std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "");
    const std::string track =
        Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Tag("T", "A", "B", "", "", 1);
    const std::string root = deep.MakeDir("deep");
    MakeDeepChain(root, 10000, 1000, track);
    MakeDeepChain(deep.MakeDir("other"), 40, 40, track);
    ASSERT_EQ(::symlink((deep / "other").c_str(), (root + "/a/0link").c_str()), 0);
    std::vector<std::string> expected{root, root + "/a/0link", root + "/a/0link" + ChainPath(40)};
    for (int depth = 1000; depth <= 10000; depth += 1000)
        expected.push_back(root + ChainPath(depth));
    settings.UseCachedCatalog = 0;
    // Read on the walk's thread, and on the pool from the first file, which lists ahead.
    for (const bool pool : {false, true}) {
        const EChildResult result = RunWithOpenFileLimit(128, [&] {
            CQuavDoc doc(settings, nullptr, reporter);
            doc.SetReadAhead(128, pool);
            if (!doc.OpenAddress(root) || doc.GetTrackList().GetSize() != expected.size())
                return false;
            for (std::size_t i = 0; i < expected.size(); ++i)
                if (doc.GetTrackList().GetAt(i)->Directory() != expected[i])
                    return false;
            return reporter.messages.empty();
        });
        EXPECT_EQ(result, EChildResult::Passed) << (pool ? "on the pool" : "on the walk's thread");
    }
}
// A link is judged by its target: one without a target is no track, and says nothing.
TEST_F(FolderWalk, LinksWithoutTargetAreNotTracks) {
    struct SLink {
        const char* name;
        const char* target;
    };
    const SLink links[] = {{"gone.mp3", "missing.mp3"},
                           {"loop.mp3", "loop.mp3"},
                           {"inside-a-file.mp3", "a.mp3/x.mp3"},
                           {"folder.mp3", "sub"},
                           {"good.mp3", "a.mp3"}};
    Track("l/a.mp3", "A");
    dir.MakeDir("l/sub");
    for (const SLink& link : links)
        ASSERT_EQ(::symlink(link.target, (dir / "l/" + link.name).c_str()), 0) << link.name;
    settings.UseCachedCatalog = 0;
    CQuavDoc doc(settings, &profile, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "l"));
    EXPECT_EQ(RelativePaths(doc), (Paths{"l/a.mp3", "l/good.mp3"}));
    EXPECT_TRUE(reporter.messages.empty());
}
