#include "model/SnapshotLocation.h"
#include "support/CatalogFixture.h"
#include "support/ChildProcess.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Folders of music that only root may write, opened as nobody (root writes anywhere), whose
// cache is a folder of nobody's own.
class SnapshotCopy : public CCatalogFixture {
protected:
    SnapshotCopy() {
        ::chmod(dir.Path().c_str(), 0755);
        ::chown(dir.MakeDir("cache").c_str(), 65534, 65534);
    }

    // Whether nobody, opening the folder, sees these artists in this order.
    bool Shows(const std::string& folder, int level, const std::vector<std::string>& artists) {
        settings.CheckForChanges = level;
        return RunAsNobody([&] {
                   ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
                   CQuavDoc doc(settings, nullptr, reporter);
                   std::vector<std::string> seen;
                   for (const CMp3File* track :
                        doc.OpenAddress(dir / folder) ? doc.GetTrackList().Tracks() : TrackArray())
                       seen.emplace_back(track->Artist());
                   return seen == artists;
               }) == EChildResult::Passed;
    }

    std::string Copy(const std::string& folder) const {
        return dir / "cache/quavero/" +
               CSnapshotLocation::CopyName(CSnapshotLocation::Folder(dir / folder + "/"));
    }

    void SetUp() override {
        if (RunAsNobody([] { return true; }) == EChildResult::Skipped)
            GTEST_SKIP() << "cannot drop privileges here";
    }
};

} // namespace

// The first visit walks and keeps the snapshot in the cache; the next reads it from there (a tag
// written since shows only where files are looked at) and looks for changes as in any snapshot.
TEST_F(SnapshotCopy, KeptInTheCacheThenReadAndKeptCurrent) {
    Track("ro/a.mp3", "Old");
    ::chmod((dir / "ro").c_str(), 0555);
    EXPECT_TRUE(Shows("ro", 2, {"Old"}));
    EXPECT_TRUE(fs::is_regular_file(Copy("ro")));
    Track("ro/a.mp3", "New");
    Track("ro/b.mp3", "B");
    EXPECT_TRUE(Shows("ro", 1, {"Old", "B"})) << "the folder's change; a walk reads a.mp3 again";
    Track("ro/a.mp3", "Neu");
    EXPECT_TRUE(Shows("ro", 2, {"Neu", "B"})) << "a file's change";
    EXPECT_TRUE(Shows("ro", 0, {"Neu", "B"})) << "was kept in the copy";
}

// A copy holds what the folder's own snapshot would, then names its folder. A snapshot of the
// folder's own comes first; a copy that names another folder is not taken; a folder that can
// take its snapshot again drops its copy.
TEST_F(SnapshotCopy, SameBytesNamingTheFolderAndReadOnlyForIt) {
    Track("ro/a.mp3", "A");
    ::chmod((dir / "ro").c_str(), 0555);
    settings.CheckForChanges = 0;
    ASSERT_TRUE(Shows("ro", 0, {"A"}));
    // Root, who may write the folder, stands for a user whose snapshot the folder holds.
    CQuavDoc(settings, nullptr, reporter).OpenAddress(dir / "ro");
    const std::string own = ReadFileBytes(dir / "ro/mp3cache.qvc");
    const std::string copy = ReadFileBytes(Copy("ro"));
    EXPECT_TRUE(copy.starts_with(own) && copy.size() > own.size());
    EXPECT_TRUE(copy.ends_with(dir / "ro"));

    Track("ro/b.mp3", "B");
    settings.UseCachedCatalog = 0;
    CQuavDoc(settings, nullptr, reporter).OpenAddress(dir / "ro");
    settings.UseCachedCatalog = 1;
    Track("ro/b.mp3", "C");
    EXPECT_TRUE(Shows("ro", 0, {"A", "B"})) << "neither the copy nor a walk";

    Track("ro2/x.mp3", "X");
    ::chmod((dir / "ro2").c_str(), 0555);
    fs::rename(Copy("ro"), Copy("ro2"));
    EXPECT_TRUE(Shows("ro2", 0, {"X"}));
    ASSERT_TRUE(fs::exists(Copy("ro2")));
    ::chmod((dir / "ro2").c_str(), 0777);
    EXPECT_TRUE(Shows("ro2", 0, {"X"}));
    EXPECT_FALSE(fs::exists(Copy("ro2"))) << "the folder's own snapshot stands for it now";
}
