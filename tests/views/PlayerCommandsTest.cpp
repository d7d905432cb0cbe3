// Play and Enqueue against the recording player of tests/support, made the desktop's default in
// a configuration of the test's own. GIO reads that once per process: each case runs alone.
#include "ViewFixture.h"

#include "support/ChildProcess.h"
#include "support/RecordingPlayer.h"
#include "views/ListViewEx.h"
#include "views/TrackTableModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Args = CRecordingPlayer::Args;

// Sorted by title from Z to A they stand in the rows: the odd name, a, c, d, b.
constexpr const char* kOdd = "it's \"live\" $(x)\n\xe9.mp3";
const std::vector<STrackFields> kTracks = {{"a.mp3", "Delta", "X"},
                                           {"b.mp3", "Alpha", "X"},
                                           {"c.mp3", "Charlie", "X"},
                                           {"d.mp3", "Bravo", "X"},
                                           {kOdd, "Echo", "X"}};

// Answers every message box as it opens, Yes where it asks, and keeps "! title: text" for a
// warning with OK, "? title: text" for a question with Yes and No.
struct SBoxAnswerer {
    SBoxAnswerer() {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            const QMessageBox::StandardButtons buttons = box->standardButtons();
            const bool warns = box->icon() == QMessageBox::Warning && buttons == QMessageBox::Ok;
            const bool asks = box->icon() == QMessageBox::Question &&
                              buttons == (QMessageBox::Yes | QMessageBox::No);
            const QString mark = QLatin1String(warns ? "! " : asks ? "? " : "x ");
            shown.push_back(
                (mark + box->windowTitle() + QStringLiteral(": ") + box->text()).toStdString());
            box->button(box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok)
                ->click();
        });
        timer.start(10);
    }
    QTimer timer;
    std::vector<std::string> shown;
};

// The last two run the command that DoubleClickAction names, Play and Enqueue here.
enum class EHow { Play, Enqueue, DoubleClick, Enter };
// Planted by another user in the shared temporary folder: a link at the playlist's names to a
// file of the user's, or a plain file there, or the playlist's folder made in the user's name.
enum class EFault { None, NoPlayer, MissingFile, PlaylistInTheWay, LinksPlanted, FilesPlanted };

struct SCase {
    const char* name;
    EFault fault;
    const char* verb; // both commands' verb, "{player}" being the recorder; null: the defaults
    EHow how;
    std::vector<int> rows;             // Ctrl+clicked in this order
    std::vector<std::string> playlist; // file names
    Args received;                     // "%f": the track's path for one row, else the playlist's
    const char* box;                   // "{a}": a.mp3's path, "{list}": the playlist's
};

void PrintTo(const SCase& c, std::ostream* out) {
    *out << c.name;
}

class CPlayerCommand : public CQuavViewTest, public testing::WithParamInterface<SCase> {
protected:
    void Show(const SCase& c) {
        player.UseDesktop(c.fault != EFault::NoPlayer);
        ::unsetenv("XDG_RUNTIME_DIR");
        ::setenv("TMPDIR", tmp.c_str(), 1);
        ::chmod(dir.Path().c_str(), 0755);
        ::chmod(tmp.c_str(), 01777);
        ASSERT_EQ(Plant(c.fault), EChildResult::Passed);
        WriteTracks(kTracks);
        ASSERT_NO_FATAL_FAILURE(Open());
        ClickHeader(QStringLiteral("Title"));
        ClickHeader(QStringLiteral("Title"));
        if (c.verb != nullptr)
            settings.CommandPlay = settings.CommandEnqueue =
                ReplaceAll(c.verb, "{player}", "'" + player.Program() + "'");
        settings.DoubleClickAction = c.how == EHow::Enter ? 1 : 0;
        if (c.fault == EFault::MissingFile)
            std::filesystem::remove(music + "/a.mp3");
        if (c.fault == EFault::PlaylistInTheWay) {
            ::mkdir((tmp + "/quavero-0").c_str(), 0700);
            ::mkdir((tmp + "/quavero-0/~playlst.m3u").c_str(), 0700);
        }
        for (int row : c.rows)
            QTest::mouseClick(Details()->viewport(), Qt::LeftButton, Qt::ControlModifier, At(row));
    }
    void Run(const SCase& c) {
        if (c.how == EHow::Play)
            view->Play();
        else if (c.how == EHow::Enqueue)
            view->Enqueue();
        else if (c.how == EHow::DoubleClick)
            QTest::mouseDClick(Details()->viewport(), Qt::LeftButton, {}, At(c.rows[0]));
        else
            QTest::keyClick(Details(), Qt::Key_Return);
    }
    // As nobody, who may write the temporary folder and nothing of the user's.
    EChildResult Plant(EFault fault) const {
        if (fault != EFault::LinksPlanted && fault != EFault::FilesPlanted)
            return EChildResult::Passed;
        const bool links = fault == EFault::LinksPlanted;
        return RunAsNobody([this, links] {
            bool planted = ::mkdir((tmp + "/quavero-0").c_str(), 0777) == 0;
            for (const char* name : {"/~playlst.m3u", "/quavero-0/~playlst.m3u"}) {
                const std::string at = tmp + name;
                const int fd = links ? -1 : ::open(at.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
                planted = planted && (links ? ::symlink(victim.c_str(), at.c_str()) == 0
                                            : fd >= 0 && ::close(fd) == 0);
            }
            return planted;
        });
    }
    QTreeView* Details() const { return view->List()->DetailsView(); }
    QPoint At(int row) const { return Details()->visualRect(view->Model().index(row, 0)).center(); }

    CRecordingPlayer player{dir};
    const std::string tmp = dir.MakeDir("tmp");
    const std::string victim = dir.Write("profile", "PATH=/bin\n");
};
using PlayerCommand = CPlayerCommand;

TEST_P(PlayerCommand, HandsTheRowsToThePlayerOrSaysWhyNot) {
    if (RerunAlone())
        return;
    const SCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Show(c));
    SBoxAnswerer boxes;
    Run(c);
    const std::string list = tmp + "/quavero-0/~playlst.m3u";
    EXPECT_EQ(ReadFileBytes(victim), "PATH=/bin\n");
    if (c.box != nullptr) {
        const std::string box =
            ReplaceAll(ReplaceAll(c.box, "{a}", music + "/a.mp3"), "{list}", list);
        EXPECT_EQ(boxes.shown, std::vector{box});
        EXPECT_TRUE(c.fault != EFault::MissingFile || RowNames().size() == kTracks.size() - 1)
            << "Yes reads the folder again";
        return;
    }
    EXPECT_FALSE(player.HasRecorded()) << "the command waited for the player";
    const std::optional<Args> received = player.Received();
    ASSERT_TRUE(received.has_value());
    Args expected;
    for (const std::string& argument : c.received)
        expected.push_back(ReplaceAll(argument, "%f",
                                      c.rows.size() == 1 ? music + "/" + c.playlist[0] : "{list}"));
    ASSERT_EQ(received->size(), expected.size());
    if (c.rows.size() == 1) {
        EXPECT_EQ(*received, expected);
        EXPECT_TRUE(c.fault != EFault::None || !std::filesystem::exists(list))
            << "one track needs no playlist";
        return;
    }
    // The playlist lies in a folder that only the user may enter, and only the user may read it.
    const std::string& played = received->back();
    struct stat file {
    }, folder{};
    ASSERT_EQ(::lstat(played.c_str(), &file), 0);
    ASSERT_EQ(::lstat(std::filesystem::path(played).parent_path().c_str(), &folder), 0);
    EXPECT_TRUE(S_ISREG(file.st_mode) && (file.st_mode & 0777) == 0600 && file.st_uid == 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode) && (folder.st_mode & 0777) == 0700 && folder.st_uid == 0);
    EXPECT_EQ(played == list, c.fault == EFault::None) << played;
    std::string lines;
    for (const std::string& line : c.playlist)
        lines += (line.starts_with("file://") ? line : music + "/" + line) + "\r\n";
    EXPECT_EQ(ReadFileBytes(played), ReplaceAll(lines, "{music}", music));
}

// clang-format off
const SCase kCases[] = {
    {"PlayOneByDoubleClick", EFault::None, nullptr, EHow::DoubleClick, {2}, {"c.mp3"}, {"%f"}, nullptr},
    {"PlaySeveralInRowOrder", EFault::None, nullptr, EHow::Play, {3, 1, 2}, {"a.mp3", "c.mp3", "d.mp3"}, {"%f"}, nullptr},
    {"EnqueueByEnter", EFault::None, nullptr, EHow::Enter, {1}, {"a.mp3"}, {"--enqueue", "%f"}, nullptr},
    {"CommandLineOddName", EFault::None, "{player} %f", EHow::Play, {0}, {kOdd}, {"%f"}, nullptr},
    {"LineBreakGoesAsAddress", EFault::None, nullptr, EHow::Play, {0, 1}, {"file://{music}/it%27s%20%22live%22%20%24%28x%29%0A%E9.mp3", "a.mp3"}, {"%f"}, nullptr},
    {"LinksPlantedByAnother", EFault::LinksPlanted, nullptr, EHow::Enqueue, {1, 2}, {"a.mp3", "c.mp3"}, {"--enqueue", "%f"}, nullptr},
    {"FilesPlantedByAnother", EFault::FilesPlanted, nullptr, EHow::Play, {1, 2}, {"a.mp3", "c.mp3"}, {"%f"}, nullptr},
    {"OneTrackDespitePlantedFiles", EFault::FilesPlanted, nullptr, EHow::Play, {1}, {"a.mp3"}, {"%f"}, nullptr},
    {"NoAssociationOneTrack", EFault::NoPlayer, nullptr, EHow::Play, {1}, {}, {},
     "! Quavero: No association found between 'MP3' files and a player, \nor command 'Play' not supported."},
    {"NoAssociationSeveral", EFault::NoPlayer, nullptr, EHow::Play, {1, 2}, {}, {},
     "! Quavero: No association found between 'M3U' playlists and a player, \nor command 'Play' not supported.\n"
     "For multiple selections, your player should accept 'M3U' file type. "},
    {"VerbThePlayerLacks", EFault::None, "Shuffle", EHow::Enqueue, {1, 2}, {}, {},
     "! Quavero: Your player doesn't support the command : 'Shuffle'."},
    {"PlaySeveralWithAVerbThePlayerLacks", EFault::None, "Shuffle", EHow::Play, {1, 2}, {}, {},
     "! Quavero: Your player doesn't support the command : 'Shuffle'."},
    {"PlaySeveralWithAPlayerThatCannotStart", EFault::None, "/nonexistent/player %f", EHow::Play, {1, 2}, {}, {},
     "! Quavero: The player could not be started with the command '/nonexistent/player %f'."},
    {"MissingFile", EFault::MissingFile, nullptr, EHow::Play, {1}, {}, {},
     "? Quavero: File  '{a}' not found !\nDo you want to refresh displayed information ?"},
    {"PlaylistCannotBeWritten", EFault::PlaylistInTheWay, nullptr, EHow::Play, {1, 2}, {}, {},
     "! Quavero: Failed to create the playlist file '{list}'."},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, PlayerCommand, testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// No player is involved: Properties goes to the window; another value, or no row, does nothing.
TEST_F(CQuavViewTest, DoubleClickRunsPropertiesThroughTheWindow) {
    WriteTracks(kTracks);
    ASSERT_NO_FATAL_FAILURE(Open());
    QTreeView* details = view->List()->DetailsView();
    const QPoint first = details->visualRect(view->Model().index(0, 0)).center();
    settings.DoubleClickAction = 2;
    QTest::mouseClick(details->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(details->viewport(), Qt::LeftButton, {}, first);
    settings.DoubleClickAction = 3;
    QTest::keyClick(details, Qt::Key_Return);
    settings.DoubleClickAction = 2;
    view->List()->SelectionModel()->clearSelection();
    QTest::keyClick(details, Qt::Key_Return);
    EXPECT_EQ(frame.commands, std::vector<ECommandId>{ECommandId::Properties});
}

} // namespace
