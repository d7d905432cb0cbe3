#include "catalog/CheckLevel.h"
#include "support/CatalogFixture.h"
#include "support/Mp3Maker.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Writes a track at a path below the tree's folder.
using Tracker = std::function<void(const std::string& relative, const std::string& artist)>;

// One change on disk, made after a snapshot of the tree below was written, and whether a look
// at the folders alone sees it (a tag written in place changes no folder).
struct SChange {
    const char* name;
    std::function<void(const std::string& root, const Tracker& track)> make;
    bool seenByFolders;
};

class Changes : public CCatalogFixture, public ::testing::WithParamInterface<SChange> {
protected:
    void MakeTree(const std::string& root) {
        for (const auto& [path, artist] : {std::pair{"A/Al1/1.mp3", "A"},
                                           {"A/Al1/2.mp3", "A"},
                                           {"A/Al2/3.mp3", "A"},
                                           {"A-B/6.mp3", "AB"},
                                           {"B/4.mp3", "B"},
                                           {"top.mp3", "T"}})
            Track(root + "/" + path, artist);
        dir.Write(root + "/Empty/cover.jpg", "not a track");
    }

    void Change(const std::string& root) {
        GetParam().make(dir / root,
                        [this, &root](const std::string& path, const std::string& artist) {
                            Track(root + "/" + path, artist);
                        });
    }

    // The catalog as path (below `root`) and artist per track, in its order.
    std::vector<std::string> Open(const std::string& root, int level, bool useSnapshot = true) {
        settings.CheckForChanges = level;
        settings.UseCachedCatalog = useSnapshot ? 1 : 0;
        CQuavDoc doc(settings, &profile, reporter);
        EXPECT_TRUE(doc.OpenAddress(dir / root));
        std::vector<std::string> listing = RelativePaths(doc);
        for (std::size_t i = 0; i < listing.size(); ++i)
            listing[i] = listing[i].substr(root.size() + 1) + "|" +
                         std::string(doc.GetTrackList().GetAt(i)->Artist());
        return listing;
    }
};

} // namespace

// Level 0 shows the snapshot as it is; level 1 shows every change of a folder as a new walk of
// the same tree does, and writes it into the snapshot; level 2 also sees a file written in
// place.
TEST_P(Changes, EachLevelShowsWhatItLooksAt) {
    for (const int level : {0, 1, 2}) {
        SCOPED_TRACE(level);
        const std::string root = "music" + std::to_string(level);
        const std::string same = "walked" + std::to_string(level);
        MakeTree(root);
        MakeTree(same);
        const std::vector<std::string> before = Open(root, level);
        Change(root);
        Change(same);
        const std::vector<std::string> walked = Open(same, level, false);
        ASSERT_NE(before, walked) << "the change shows in a walk";
        const bool seen = level == 2 || (level == 1 && GetParam().seenByFolders);
        EXPECT_EQ(Open(root, level), seen ? walked : before);
        if (seen) {
            EXPECT_EQ(Open(root, 0), walked) << "the snapshot was written again";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    OnDisk, Changes,
    ::testing::Values(
        SChange{"FileAdded",
                [](const std::string&, const Tracker& track) { track("A/Al1/1b.mp3", "New"); },
                true},
        SChange{"FileRemoved",
                [](const std::string& root, const Tracker&) { fs::remove(root + "/A/Al1/2.mp3"); },
                true},
        SChange{"FileRenamed",
                [](const std::string& root, const Tracker&) {
                    fs::rename(root + "/B/4.mp3", root + "/B/0.mp3");
                },
                true},
        SChange{"FolderAddedBelowAFolderWithoutTracks",
                [](const std::string&, const Tracker& track) { track("Empty/Live/5.mp3", "Late"); },
                true},
        SChange{"FolderRemoved",
                [](const std::string& root, const Tracker&) { fs::remove_all(root + "/A/Al2"); },
                true},
        SChange{
            "FolderRenamed",
            [](const std::string& root, const Tracker&) { fs::rename(root + "/A", root + "/Z"); },
            true},
        SChange{"TagWrittenInPlace",
                [](const std::string&, const Tracker& track) { track("A/Al2/3.mp3", "Q"); },
                false}),
    [](const ::testing::TestParamInfo<SChange>& change) { return std::string(change.param.name); });

// A snapshot of a program that kept no walk start vouches for nothing: every folder is listed
// again, and what changed shows; looking at files, every file is read again, as a tag written
// in place without changing the file's size shows nowhere else.
TEST_F(CCatalogFixture, ASnapshotWithoutItsWalkStartIsListedAgainWhole) {
    for (const int level : {1, 2}) {
        std::filesystem::remove(dir / "m/a/2.mp3");
        Track("m/a/1.mp3", "A");
        settings.CheckForChanges = 0;
        {
            CQuavDoc doc(settings, &profile, reporter);
            ASSERT_TRUE(doc.OpenAddress(dir / "m"));
            doc.Refresh();
        }
        Track("m/a/2.mp3", "B");
        Track("m/a/1.mp3", "C");
        settings.CheckForChanges = level;
        CQuavDoc doc(settings, &profile, reporter);
        ASSERT_TRUE(doc.OpenAddress(dir / "m"));
        EXPECT_EQ(RelativePaths(doc), (std::vector<std::string>{"m/a/1.mp3", "m/a/2.mp3"}));
        EXPECT_EQ(doc.GetTrackList().GetAt(0)->Artist(), level == 2 ? "C" : "A") << level;
    }
}

namespace {

// The snapshot file as the system knows it: each write replaces it by a new file.
std::pair<ino_t, std::int64_t> FileIdentity(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {0, 0};
    return {status.st_ino, status.st_mtim.tv_sec * 1'000'000'000LL + status.st_mtim.tv_nsec};
}

} // namespace

// An open that finds its snapshot current leaves the file alone, at any level; one that lacks
// what its level looks with (the walk's start, or the folders' identities that an older program
// did not keep) is written with it, once. A change made after such an open is seen by the next,
// and a refresh always writes.
TEST_F(CCatalogFixture, ACurrentSnapshotIsNotWrittenAgain) {
    const struct {
        int written, opened;
        bool withoutIds, rewritten;
    } cases[] = {{0, 0, false, false}, {1, 1, false, false}, {2, 2, false, false},
                 {1, 0, false, false}, {2, 1, false, false}, {1, 2, false, false},
                 {0, 1, false, true},  {0, 2, false, true},  {1, 1, true, true},
                 {1, 2, true, true},   {1, 0, true, false}};
    for (const auto& c : cases) {
        const std::string name = "m" + std::to_string(c.written) + std::to_string(c.opened) +
                                 (c.withoutIds ? "old" : "");
        SCOPED_TRACE(name);
        const std::string root = dir / name;
        const std::string snapshot = root + "/mp3cache.qvc";
        Track(name + "/a/1.mp3", "A");
        Track(name + "/b/2.mp3", "B");
        dir.MakeDir(name + "/Empty");
        // Past the clock's tick: a file changed in the tick that a walk begins in counts as
        // changed after it.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        settings.UseCachedCatalog = 0;
        settings.CheckForChanges = c.written;
        ASSERT_TRUE(CQuavDoc(settings, &profile, reporter).OpenAddress(root));
        if (c.withoutIds) {
            CMp3FileList list;
            CSnapshotExtras::SWalk walk;
            ASSERT_EQ(list.LoadSnapshot(root, &walk), CMp3FileList::ELoadResult::Loaded);
            ASSERT_NE(walk.folderIds.Size(), 0u);
            walk.folderIds = {};
            ASSERT_TRUE(list.SaveSnapshot(root, &walk));
        }
        settings.UseCachedCatalog = 1;
        settings.CheckForChanges = c.opened;
        const auto written = FileIdentity(snapshot);
        ASSERT_TRUE(CQuavDoc(settings, &profile, reporter).OpenAddress(root));
        const auto opened = FileIdentity(snapshot);
        EXPECT_EQ(opened != written, c.rewritten);
        ASSERT_TRUE(CQuavDoc(settings, &profile, reporter).OpenAddress(root));
        EXPECT_EQ(FileIdentity(snapshot), opened) << "current after one write";
        if (c.opened == 0)
            continue;
        Track(name + "/b/3.mp3", "C");
        CQuavDoc doc(settings, &profile, reporter);
        ASSERT_TRUE(doc.OpenAddress(root));
        EXPECT_EQ(doc.GetTrackList().GetSize(), 3u) << "a change after the look";
        EXPECT_NE(FileIdentity(snapshot), opened);
        const auto updated = FileIdentity(snapshot);
        doc.Refresh();
        EXPECT_NE(FileIdentity(snapshot), updated) << "a refresh writes";
    }
}

// A folder renamed into the place of another keeps its own times, and so do the folders and files
// below it: only their identities tell that "Album/CD1" now holds other tracks, one of them
// under the name and size of one of the old ones.
TEST_F(CCatalogFixture, AFolderPutInThePlaceOfAnotherIsSeen) {
    ASSERT_TRUE(Mp3Maker::Encode(dir / "old.mp3", 1.0, 44100, "-b 64 --ta Old"));
    ASSERT_TRUE(Mp3Maker::Encode(dir / "new.mp3", 1.0, 44100, "-b 64 --ta New"));
    const auto open = [&](const std::string& root, int level) {
        settings.CheckForChanges = level;
        CQuavDoc doc(settings, &profile, reporter);
        EXPECT_TRUE(doc.OpenAddress(root));
        std::vector<std::string> listing;
        for (const CMp3File* track : doc.GetTrackList().Tracks())
            listing.push_back(track->FullPath().substr(root.size() + 1) + "|" +
                              std::string(track->Artist()));
        return listing;
    };
    for (const int level : {1, 2}) {
        SCOPED_TRACE(level);
        const std::string root = dir / ("music" + std::to_string(level));
        const std::string artist = root + "/Artist/";
        for (const auto& [from, to] : {std::pair{"old", "Album/CD1/01.mp3"},
                                       {"old", "Album/CD1/a.mp3"},
                                       {"new", "Album2/CD1/01.mp3"},
                                       {"new", "Album2/CD1/b.mp3"}}) {
            fs::create_directories(fs::path(artist + to).parent_path());
            fs::copy_file(dir / (std::string(from) + ".mp3"), artist + to);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // past the clock's tick
        settings.UseCachedCatalog = 0;
        open(root, level);
        settings.UseCachedCatalog = 1;
        fs::rename(artist + "Album", artist + "AlbumOld");
        fs::rename(artist + "Album2", artist + "Album");
        const std::vector<std::string> now{
            "Artist/Album/CD1/01.mp3|New", "Artist/Album/CD1/b.mp3|New",
            "Artist/AlbumOld/CD1/01.mp3|Old", "Artist/AlbumOld/CD1/a.mp3|Old"};
        EXPECT_EQ(open(root, level), now);
        EXPECT_EQ(open(root, 0), now) << "and so written";
    }
}

// Taggers often put a file's modification time back after an edit; its change time still says
// it was written, and looking at files sees it. The size stays, so nothing else would. An open
// that looks at folders alone vouches for no file: neither the snapshot it writes later (after
// an edit of another track, say) nor the one it writes for a folder's change.
TEST_F(CCatalogFixture, AFileEditedWithItsTimePutBackIsReadAgain) {
    for (const bool folderChanged : {false, true}) {
        SCOPED_TRACE(folderChanged);
        const std::string root = folderChanged ? "changed" : "same";
        const std::string path = Track(root + "/a/1.mp3", "Before");
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // past the clock's tick
        settings.CheckForChanges = 2;
        ASSERT_TRUE(CQuavDoc(settings, &profile, reporter).OpenAddress(dir / root));
        const fs::file_time_type written = fs::last_write_time(path);
        const std::uintmax_t size = fs::file_size(path);
        Track(root + "/a/1.mp3", "Aft3r");
        fs::last_write_time(path, written);
        ASSERT_EQ(fs::file_size(path), size);
        if (folderChanged)
            Track(root + "/b/2.mp3", "New");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (const auto& [level, artist] : {std::pair{1, "Before"}, {2, "Aft3r"}}) {
            settings.CheckForChanges = level;
            CQuavDoc doc(settings, &profile, reporter);
            ASSERT_TRUE(doc.OpenAddress(dir / root));
            ASSERT_EQ(doc.GetTrackList().GetSize(), folderChanged ? 2u : 1u);
            EXPECT_EQ(doc.GetTrackList().GetAt(0)->Artist(), artist) << level;
            doc.StoreSnapshot();
        }
    }
}

// A tree copied with its snapshot has other numbers throughout: it is looked at by times, as a
// snapshot without identities, not read again whole (a track edited in the copy shows only where
// files are looked at), and then keeps the copy's identities.
TEST_F(CCatalogFixture, ATreeCopiedWithItsSnapshotIsNotReadAgainWhole) {
    Track("m/a/1.mp3", "Before");
    Track("m/b/2.mp3", "Two");
    settings.CheckForChanges = 1;
    ASSERT_TRUE(CQuavDoc(settings, &profile, reporter).OpenAddress(dir / "m"));
    for (const int level : {1, 2}) {
        const std::string copy = "copy" + std::to_string(level);
        fs::copy(dir / "m", dir / copy, fs::copy_options::recursive);
        Track(copy + "/a/1.mp3", "Aft3r");
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // past the clock's tick
        settings.CheckForChanges = level;
        CQuavDoc doc(settings, &profile, reporter);
        ASSERT_TRUE(doc.OpenAddress(dir / copy));
        ASSERT_EQ(doc.GetTrackList().GetSize(), 2u);
        EXPECT_EQ(doc.GetTrackList().GetAt(0)->Artist(), level == 2 ? "Aft3r" : "Before");
        const auto written = FileIdentity(dir / copy + "/mp3cache.qvc");
        ASSERT_TRUE(CQuavDoc(settings, &profile, reporter).OpenAddress(dir / copy));
        EXPECT_EQ(FileIdentity(dir / copy + "/mp3cache.qvc"), written) << level;
    }
}
