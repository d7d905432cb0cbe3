#include "model/Playlist.h"

#include "model/Mp3File.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// A file in the root has the directory "": loading a file by its path from the root, with an
// empty directory, gives such a track without writing into the real root.
TEST(Playlist, FullPathsInTheOrderGivenEachEndingInCrLf) {
    CTempDir dir;
    dir.Write("b.mp3", Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(2000));
    CRecordingReporter reporter;
    CMp3File inFolder, inRoot;
    ASSERT_TRUE(inFolder.Load(dir.Path(), "b.mp3", reporter));
    ASSERT_TRUE(inRoot.Load("", dir.Path().substr(1) + "/b.mp3", reporter));
    EXPECT_EQ(CPlaylist::Bytes({&inRoot, &inFolder, &inRoot}),
              dir / "b.mp3\r\n" + dir / "b.mp3\r\n" + dir / "b.mp3\r\n");
    EXPECT_EQ(CPlaylist::Bytes({}), "");
}
