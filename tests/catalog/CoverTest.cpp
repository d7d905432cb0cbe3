#include "model/FolderImages.h"
#include "support/CatalogFixture.h"

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// The covers the walk notes: each folder's image file by its name, a disc's folder taking its
// parent's, a track's own picture first; kept by the snapshot and by the look for changes.
using Cover = CCatalogFixture;
using EImage = SCoverSource::EImage;

TEST(FolderImages, ChoosesByNameAndPreference) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> listings = {
        {{"albumart_large.jpg", "front.png", "Folder.JPG", "cover.webp"}, "cover.webp"},
        {{"AlbumArtSmall.jpg", "album.jpeg"}, "album.jpeg"},
        {{"folder.png", "Folder.jpg"}, "Folder.jpg"},
        {{"FRONT.JPEG", "AlbumArt_{1}_Large.jpg"}, "FRONT.JPEG"},
        {{"AlbumArt_{1}_Large.jpg", "track.mp3"}, "AlbumArt_{1}_Large.jpg"},
        {{"cover.gif", "covers.jpg", "back.jpg", "cover.jpg.txt", ".jpg", "cover"}, ""},
    };
    for (const auto& [names, best] : listings) {
        CFolderImages::CChooser chooser;
        for (const std::string& name : names)
            chooser.Offer(name);
        EXPECT_EQ(chooser.Best(), best) << names.front();
    }
    const std::map<std::string, bool> discs = {
        {"CD1", true},          {"CD 2", true},          {"Disc 2", true}, {"disc2", true},
        {"Disk1", true},        {"/m/a/DISC_3/", true},  {"cd", false},    {"CD1 Bonus", false},
        {"Discography", false}, {"/m/CD1/Extras", false}};
    for (const auto& [folder, disc] : discs)
        EXPECT_EQ(CFolderImages::IsDiscFolder(folder), disc) << folder;
}

namespace {

// A 2.4 tag of one front cover, its image bytes "PICTUREBYTES".
std::string PictureTag() {
    const std::string body = std::string("\0image/png\0\3\0", 13) + "PICTUREBYTES";
    const std::string frame =
        "APIC" + std::string{0, 0, 0, static_cast<char>(body.size()), 0, 0} + body;
    return "ID3" + std::string{4, 0, 0, 0, 0, 0, static_cast<char>(frame.size())} + frame;
}

std::string Shown(const std::optional<SCoverSource>& cover, const std::string& root) {
    if (!cover)
        return "-";
    std::string path = cover->path.substr(root.size());
    for (auto p = path.find("//"); p != std::string::npos; p = path.find("//"))
        path.erase(p, 1);
    std::string shown = path + ' ' + std::to_string(static_cast<int>(cover->image));
    if (cover->embedded)
        shown += " @" + std::to_string(cover->offset) + '+' + std::to_string(cover->length);
    return shown;
}

} // namespace

TEST_F(Cover, FromTheTagTheFolderOrTheDiscsParent) {
    Track("m/A/t1.mp3", "A");
    dir.Write("m/A/folder.png", "png");
    dir.Write("m/A/Cover.JPG", "jpg");
    dir.MakeDir("m/A/cover.jpg"); // a folder is no image
    Track("m/B/CD1/t2.mp3", "B");
    Track("m/B/CD 2/t3.mp3", "B");
    dir.Write("m/B/CD 2/front.webp", "webp");
    dir.Write("m/B/folder.jpg", "jpg");
    Track("m/C/t4.mp3", "C");
    const std::string own = ReadFileBytes(Track("m/D/t5.mp3", "D"));
    dir.Write("m/D/t5.mp3", PictureTag() + own);
    dir.Write("m/D/cover.png", "png");
    Track("m/E/Disc 1/t6.mp3", "E"); // no image above either
    const std::map<std::string, std::string> expected = {
        {"t1.mp3", "/m/A/Cover.JPG 1"},       {"t2.mp3", "/m/B/folder.jpg 1"},
        {"t3.mp3", "/m/B/CD 2/front.webp 3"}, {"t4.mp3", "-"},
        {"t5.mp3", "/m/D/t5.mp3 2 @33+12"},   {"t6.mp3", "-"},
    };
    const auto check = [&](const CQuavDoc& doc) {
        ASSERT_EQ(doc.GetTrackList().GetSize(), expected.size());
        for (const CMp3File* track : doc.GetTrackList().Tracks())
            EXPECT_EQ(Shown(doc.CoverOf(*track), dir.Path()),
                      expected.at(std::string(track->FileName())));
    };
    for (const int fromSnapshot : {0, 1}) {
        SCOPED_TRACE(fromSnapshot != 0 ? "from the snapshot" : "walked");
        settings.UseCachedCatalog = fromSnapshot;
        CQuavDoc doc(settings, nullptr, reporter);
        ASSERT_TRUE(doc.OpenAddress(dir / "m"));
        check(doc);
    }
    // A note is never trusted past the file's end as it is now: the folder's image stands in.
    dir.Write("m/D/t5.mp3", PictureTag().substr(0, 40));
    CQuavDoc doc(settings, nullptr, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    CMp3File* t5 = nullptr;
    for (CMp3File* track : doc.GetTrackList().Tracks())
        t5 = track->FileName() == "t5.mp3" ? track : t5;
    ASSERT_NE(t5, nullptr);
    EXPECT_EQ(Shown(doc.CoverOf(*t5), dir.Path()), "/m/D/cover.png 2");
    // A tag written again moves its picture: the note follows once the file is read again.
    const std::string title = std::string("TIT2") + std::string{0, 0, 0, 3, 0, 0} + "\3Hi";
    std::string tag = PictureTag();
    tag.insert(10, title);
    tag[9] = static_cast<char>(tag[9] + title.size());
    dir.Write("m/D/t5.mp3", tag + own);
    doc.NoteCoversAgain({t5});
    EXPECT_EQ(Shown(doc.CoverOf(*t5), dir.Path()), "/m/D/t5.mp3 2 @46+12");
}

// A folder listed again by the look for changes, or by a watch, shows its images as they are.
TEST_F(Cover, ListingAgainKeepsFolderImagesCurrent) {
    Track("m/A/t1.mp3", "A");
    Track("m/B/t2.mp3", "B");
    dir.Write("m/B/cover.jpg", "jpg");
    settings.CheckForChanges = 1;
    {
        CQuavDoc doc(settings, nullptr, reporter);
        ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // past the clock's tick
    dir.Write("m/A/folder.png", "png");
    Track("m/A/t0.mp3", "A"); // the folder now holds another track: it is listed again
    ::unlink((dir / "m/B/cover.jpg").c_str());
    CQuavDoc doc(settings, nullptr, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    std::map<std::string, std::string> shown;
    for (const CMp3File* track : doc.GetTrackList().Tracks())
        shown[std::string(track->FileName())] = Shown(doc.CoverOf(*track), dir.Path());
    EXPECT_EQ(shown["t0.mp3"], "/m/A/folder.png 2");
    EXPECT_EQ(shown["t1.mp3"], "/m/A/folder.png 2");
    EXPECT_EQ(shown["t2.mp3"], "/m/B/cover.jpg 1")
        << "B holds the same tracks: it is not listed again";
    doc.RereadFolders({dir / "m/B"});
    for (const CMp3File* track : doc.GetTrackList().Tracks()) {
        if (track->FileName() == "t2.mp3") {
            EXPECT_EQ(Shown(doc.CoverOf(*track), dir.Path()), "-");
        }
    }
}
