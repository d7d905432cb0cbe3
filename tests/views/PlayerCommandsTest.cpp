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

#include <filesystem>

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
enum class EFault { None, NoPlayer, MissingFile, PlaylistInTheWay };

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
        ::setenv("TMPDIR", dir.MakeDir("tmp").c_str(), 1);
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
        if (c.fault == EFault::PlaylistInTheWay)
            dir.MakeDir("tmp/~playlst.m3u");
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
    QTreeView* Details() const { return view->List()->DetailsView(); }
    QPoint At(int row) const { return Details()->visualRect(view->Model().index(row, 0)).center(); }

    CRecordingPlayer player{dir};
};
using PlayerCommand = CPlayerCommand;

TEST_P(PlayerCommand, HandsTheRowsToThePlayerOrSaysWhyNot) {
    if (RerunAlone())
        return;
    const SCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Show(c));
    SBoxAnswerer boxes;
    Run(c);
    const std::string list = dir / "tmp/~playlst.m3u";
    if (c.box != nullptr) {
        const std::string box =
            ReplaceAll(ReplaceAll(c.box, "{a}", music + "/a.mp3"), "{list}", list);
        EXPECT_EQ(boxes.shown, std::vector{box});
        EXPECT_TRUE(c.fault != EFault::MissingFile || RowNames().size() == kTracks.size() - 1)
            << "Yes reads the folder again";
        return;
    }
    EXPECT_FALSE(player.HasRecorded()) << "the command waited for the player";
    std::string lines;
    for (const std::string& name : c.playlist)
        lines += music + "/" + name + "\r\n";
    EXPECT_EQ(ReadFileBytes(list), lines);
    Args expected;
    for (const std::string& argument : c.received)
        expected.push_back(
            ReplaceAll(argument, "%f", c.rows.size() == 1 ? music + "/" + c.playlist[0] : list));
    EXPECT_EQ(player.Received(), expected);
}

// clang-format off
const SCase kCases[] = {
    {"PlayOneByDoubleClick", EFault::None, nullptr, EHow::DoubleClick, {2}, {"c.mp3"}, {"%f"}, nullptr},
    {"PlaySeveralInRowOrder", EFault::None, nullptr, EHow::Play, {3, 1, 2}, {"a.mp3", "c.mp3", "d.mp3"}, {"%f"}, nullptr},
    {"EnqueueByEnter", EFault::None, nullptr, EHow::Enter, {1}, {"a.mp3"}, {"--enqueue", "%f"}, nullptr},
    {"CommandLineOddName", EFault::None, "{player} %f", EHow::Play, {0}, {kOdd}, {"%f"}, nullptr},
    {"NoAssociationOneTrack", EFault::NoPlayer, nullptr, EHow::Play, {1}, {}, {},
     "! Quavero: No association found between 'MP3' files and a player, \nor command 'Play' not supported."},
    {"NoAssociationSeveral", EFault::NoPlayer, nullptr, EHow::Play, {1, 2}, {}, {},
     "! Quavero: For multiple selections, your player should accept 'M3U' file type. "},
    {"VerbThePlayerLacks", EFault::None, "Shuffle", EHow::Enqueue, {1, 2}, {}, {},
     "! Quavero: Your player doesn't support the command : 'Shuffle'."},
    {"PlaySeveralWithAVerbThePlayerLacks", EFault::None, "Shuffle", EHow::Play, {1, 2}, {}, {},
     "! Quavero: Your player doesn't support the command : 'Shuffle'."},
    {"PlaySeveralWithAPlayerThatCannotStart", EFault::None, "/nonexistent/player %f", EHow::Play, {1, 2}, {}, {},
     "! Quavero: The player could not be started with the command '/nonexistent/player %f'."},
    {"MissingFile", EFault::MissingFile, nullptr, EHow::Play, {1}, {}, {},
     "? Quavero: File  '{a}' not found !\nDo you want to refresh displayed information ?"},
    {"PlaylistCannotBeWritten", EFault::PlaylistInTheWay, nullptr, EHow::Play, {1}, {}, {},
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
