#include "catalog/AddressKind.h"
#include "catalog/Hints.h"
#include "settings/SettingsKeys.h"
#include "support/CatalogFixture.h"
#include "support/Mp3Maker.h"
#include "support/RecordingView.h"

#include <map>
#include <stdexcept>
#include <unistd.h>

using QuavDoc = CCatalogFixture;
using Hints = std::vector<EHint>;

namespace {

// Each track must stand exactly once in the groups of the document's mode, in the group of its
// own text, and once among their subgroups.
void ExpectGroupedOnce(const CQuavDoc& doc) {
    std::map<const CMp3File*, int> filed, subgroups;
    const auto check = [&](const auto& groups, auto key) {
        for (const auto& g : groups) {
            for (CMp3File* t : g.Tracks()) {
                ++filed[t];
                EXPECT_EQ(key(*t), g.Name());
            }
            if constexpr (requires { g.Artists(); })
                for (const CArtistGroup& a : g.Artists())
                    for (CMp3File* t : a.Tracks()) {
                        ++subgroups[t];
                        EXPECT_EQ(t->Artist(), a.Name());
                    }
        }
    };
    const bool nested = doc.DisplayMode() != EDisplayMode::Artist;
    if (doc.DisplayMode() == EDisplayMode::GenreArtist)
        check(doc.Groups().Genres(), [](const CMp3File& t) { return t.GetGenreName(); });
    else if (doc.DisplayMode() == EDisplayMode::AlbumArtist)
        check(doc.Groups().Albums(), [](const CMp3File& t) { return t.Album(); });
    else
        check(doc.Groups().Artists(), [](const CMp3File& t) { return t.Artist(); });
    for (const CMp3File* t : doc.GetTrackList().Tracks()) {
        EXPECT_EQ(filed[t], 1);
        EXPECT_EQ(subgroups[t], nested ? 1 : 0);
    }
    EXPECT_EQ(filed.size(), doc.GetTrackList().GetSize());
}

} // namespace

TEST_F(QuavDoc, OpenSendsHintsWritesFilePathAndSnapshot) {
    Track("music/a.mp3", "Beta", "X", 17);
    Track("music/b.mp3", "Alpha", "Y", 17);
    Track("music/sub/c.mp3", "Beta", "X", 0);
    CQuavDoc doc(settings, &profile, reporter);
    CRecordingView view(doc);
    ASSERT_TRUE(doc.OpenAddress(dir / "music/"));
    EXPECT_EQ(view.hints, (Hints{EHint::RebuildBegin, EHint::RebuildEnd}));
    EXPECT_EQ(doc.Address(), dir / "music");
    EXPECT_EQ(doc.GetTitle(), dir / "music");
    std::string title;
    EAddressKind kind = EAddressKind::None;
    doc.GetTitleAndKind(title, kind);
    EXPECT_EQ(kind, EAddressKind::Folder);
    EXPECT_EQ(CIniProfile(dir / "quavero.ini")
                  .GetString(SettingsKey::kSectionMp3, SettingsKey::kFilePath, ""),
              dir / "music");
    EXPECT_EQ(::access((dir / "music/mp3cache.qvc").c_str(), F_OK), 0);

    // Groups in order of first appearance, exact names.
    ASSERT_EQ(doc.Groups().Artists().size(), 2u);
    EXPECT_EQ(doc.Groups().Artists()[0].Name(), "Beta");
    EXPECT_EQ(doc.Groups().Artists()[0].Size(), 2u);
    ExpectGroupedOnce(doc);
    doc.SetDisplayMode(EDisplayMode::GenreArtist);
    ASSERT_EQ(doc.Groups().Genres().size(), 2u);
    EXPECT_EQ(doc.Groups().Genres()[0].Name(), "Rock");
    EXPECT_EQ(doc.Groups().Genres()[0].Artists().size(), 2u);
    ExpectGroupedOnce(doc);
    doc.SetDisplayMode(EDisplayMode::AlbumArtist);
    EXPECT_EQ(doc.Groups().Albums()[0].Name(), "X");
    ExpectGroupedOnce(doc);

    // A failed open changes nothing and tells no view.
    view.hints.clear();
    EXPECT_FALSE(doc.OpenAddress(dir / "nowhere"));
    EXPECT_FALSE(doc.OpenAddress(""));
    EXPECT_TRUE(view.hints.empty());
    EXPECT_EQ(doc.GetTrackList().GetSize(), 3u);
    EXPECT_EQ(doc.GetTitle(), dir / "music");
    EXPECT_EQ(CIniProfile(dir / "quavero.ini")
                  .GetString(SettingsKey::kSectionMp3, SettingsKey::kFilePath, ""),
              dir / "music");
}

TEST_F(QuavDoc, SnapshotIsTrustedUntilRefresh) {
    const std::string path = Track("m/a.mp3", "Old");
    CQuavDoc doc(settings, &profile, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    // Change the file behind the snapshot's back: the next open must not read it.
    dir.Write("m/a.mp3",
              Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Tag("T", "New", "A", "", "", 1));
    CRecordingView view(doc);
    ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    ASSERT_EQ(doc.GetTrackList().GetSize(), 1u);
    EXPECT_EQ(doc.GetTrackList().GetAt(0)->Artist(), "Old");
    EXPECT_EQ(doc.GetTrackList().GetAt(0)->Directory(), dir / "m/") << "restored with its /";

    view.hints.clear();
    doc.Refresh();
    EXPECT_EQ(view.hints, (Hints{EHint::RebuildBegin, EHint::RebuildEnd}));
    EXPECT_EQ(doc.GetTrackList().GetAt(0)->Artist(), "New");
    ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    EXPECT_EQ(doc.GetTrackList().GetAt(0)->Artist(), "New") << "refresh rewrote the snapshot";

    // With snapshots off, the walk is done and the snapshot still written.
    ::unlink((dir / "m/mp3cache.qvc").c_str());
    settings.UseCachedCatalog = 0;
    ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    EXPECT_EQ(::access((dir / "m/mp3cache.qvc").c_str(), F_OK), 0);
}

TEST_F(QuavDoc, BrokenSnapshotFallsBackToTheWalk) {
    settings.CheckForChanges = 0;    // records alone: the sizes below are theirs
    settings.DetectCompilations = 0; // three artists of one album in one folder: a compilation
    Track("m/a.mp3", "A");
    Track("m/b.mp3", "B");
    {
        CQuavDoc doc(settings, &profile, reporter);
        ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    }
    const std::string whole = ReadFileBytes(dir / "m/mp3cache.qvc");
    dir.Write("m/mp3cache.qvc", whole.substr(0, whole.size() - 3));
    Track("m/c.mp3", "C");
    CQuavDoc doc(settings, &profile, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "m"));
    EXPECT_EQ(FileNames(doc), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));
    ExpectGroupedOnce(doc);
    EXPECT_EQ(ReadFileBytes(dir / "m/mp3cache.qvc").size(), whole.size() + (whole.size() - 21) / 2)
        << "the broken snapshot is replaced by a whole one";
}

TEST_F(QuavDoc, FavouritesMixSnapshotsAndWalksAndStoreNothing) {
    Track("A/a1.mp3", "Same");
    Track("A/a2.mp3", "Other");
    Track("B/b1.mp3", "Same");
    {
        CQuavDoc doc(settings, &profile, reporter);
        ASSERT_TRUE(doc.OpenAddress(dir / "A"));
    }
    settings.FavoriteAddresses = dir / "A" + ";;" + dir / "B" + ";" + dir / "missing";
    CQuavDoc doc(settings, &profile, reporter);
    CRecordingView view(doc);
    ASSERT_TRUE(doc.OpenAddress("My favorite addresses"));
    EXPECT_EQ(doc.Address(), "*");
    EXPECT_EQ(doc.GetTitle(), "My favorite addresses");
    EXPECT_EQ(FileNames(doc), (std::vector<std::string>{"a1.mp3", "a2.mp3", "b1.mp3"}));
    EXPECT_EQ(doc.Groups().Artists()[0].Size(), 2u);
    ExpectGroupedOnce(doc);
    EXPECT_NE(::access((dir / "B/mp3cache.qvc").c_str(), F_OK), 0);

    doc.Refresh();
    EXPECT_EQ(FileNames(doc), (std::vector<std::string>{"a1.mp3", "a2.mp3", "b1.mp3"}));
    EXPECT_NE(::access((dir / "B/mp3cache.qvc").c_str(), F_OK), 0);
    EXPECT_EQ(view.hints, (Hints{EHint::RebuildBegin, EHint::RebuildEnd, EHint::RebuildBegin,
                                 EHint::RebuildEnd}));
}

// An edit that changes no group of the mode shown asks for no regroup; the groups of another
// mode are filed when it is chosen, so they show the edit too.
TEST_F(QuavDoc, AModeChosenAfterAnEditShowsTheEdit) {
    Track("music/a.mp3", "Ann", "Old", 17);
    Track("music/b.mp3", "Ann", "Old", 17);
    CQuavDoc doc(settings, &profile, reporter);
    ASSERT_TRUE(doc.OpenAddress(dir / "music"));
    doc.GetTrackList().GetAt(1)->SetAlbum("New");
    doc.SetDisplayMode(EDisplayMode::AlbumArtist);
    ASSERT_EQ(doc.Groups().Albums().size(), 2u);
    EXPECT_EQ(doc.Groups().Albums()[1].Name(), "New");
    ExpectGroupedOnce(doc);
}

TEST_F(QuavDoc, RegroupMovesEditedTracksAndNewDocumentReopensStartAddress) {
    Track("start/s.mp3", "S");
    Track("other/o.mp3", "Before", "Old", 1);
    settings.FilePath = dir / "start";
    CQuavDoc doc(settings, &profile, reporter);
    doc.NewDocument();
    EXPECT_EQ(doc.Address(), dir / "start");
    ASSERT_TRUE(doc.OpenAddress(dir / "other"));
    CMp3File* track = doc.GetTrackList().GetAt(0);
    track->SetArtist("After");
    track->SetAlbum("New");
    track->SetGenre(8);
    CRecordingView view(doc);
    doc.RegroupAll();
    EXPECT_EQ(view.hints, (Hints{EHint::RebuildBegin, EHint::RebuildEnd}));
    EXPECT_EQ(doc.Groups().Artists()[0].Name(), "After");
    ExpectGroupedOnce(doc);
    doc.SetDisplayMode(EDisplayMode::GenreArtist);
    EXPECT_EQ(doc.Groups().Genres()[0].Name(), "Jazz");
    ExpectGroupedOnce(doc);
    doc.SetDisplayMode(EDisplayMode::AlbumArtist);
    EXPECT_EQ(doc.Groups().Albums()[0].Name(), "New");
    ExpectGroupedOnce(doc);

    doc.NewDocument();
    EXPECT_EQ(doc.Address(), dir / "start");
    settings.FilePath = dir / "vanished";
    doc.NewDocument();
    EXPECT_EQ(doc.Address(), dir / "start") << "a start address that vanished changes nothing";
}

// The two reading settings reach the walk; off, a file is read from its ID3v1 tag and first
// frame alone.
TEST_F(QuavDoc, ReadingSettingsReachTheWalk) {
    dir.MakeDir("vbr");
    ASSERT_TRUE(
        Mp3Maker::Encode(dir / "vbr/t.mp3", 4.0, 44100, "-V9 --id3v2-only --ta Ann --tt Song"));
    for (const int on : {1, 0}) {
        settings.ExactVbrTime = on;
        settings.ReadId3v2 = on;
        settings.UseCachedCatalog = 0;
        CQuavDoc doc(settings, nullptr, reporter);
        ASSERT_TRUE(doc.OpenAddress(dir / "vbr"));
        ASSERT_EQ(doc.GetTrackList().GetSize(), 1u);
        const CMp3File& track = *doc.GetTrackList().GetAt(0);
        EXPECT_EQ(track.Artist(), on != 0 ? "Ann" : "<Undefined>") << on;
        EXPECT_EQ(track.Duration() == 4, on != 0) << on;
    }
}

// After a failed start-up open there is no address: a refresh must not walk the whole machine.
TEST_F(QuavDoc, RefreshWithoutAnAddressGivesAnEmptyCatalog) {
    settings.FilePath = dir / "gone";
    settings.FileExt = "*";
    CQuavDoc doc(settings, &profile, reporter);
    CRecordingView view(doc);
    doc.NewDocument();
    ASSERT_EQ(doc.Address(), "");
    doc.SetProgress([](std::size_t, std::size_t) { throw std::runtime_error("a file was read"); });
    EXPECT_NO_THROW(doc.Refresh());
    EXPECT_EQ(doc.GetTrackList().GetSize(), 0u);
    EXPECT_EQ(view.hints, (Hints{EHint::RebuildBegin, EHint::RebuildEnd}));
}
