// The main window's side of the command table: what each command does and when it is enabled,
// checked or radio-marked.
#include "frame/MainFrame.h"

#include "catalog/Hints.h"
#include "catalog/QuavDoc.h"
#include "dialogs/OptionSheet.h"
#include "frame/CommandTable.h"
#include "frame/CoverPane.h"
#include "platform/CommandIds.h"
#include "settings/AppSettings.h"
#include "views/QuavView.h"
#include "views/TreeCovers.h"

#include <QStatusBar>
#include <QTabWidget>

#include <array>
#include <utility>

namespace {

constexpr int kColumnsPage = 1;

} // namespace

void CMainFrame::BindCommands() {
    CCommandTable& commands = *commands_;
    commands.SetHandler(ECommandId::Refresh, [this] { doc_.Refresh(); });
    commands.SetUpdateRule(ECommandId::Refresh, [this](SCommandState& state) {
        state.enabled = settings_.UseCachedCatalog != 0 && !doc_.Address().empty();
    });
    commands.SetHandler(ECommandId::Options, [this] { OnOptions(); });
    commands.SetHandler(ECommandId::Open, [this] { ChooseFolder(); });
    commands.SetHandler(ECommandId::ColumnOptions, [this] { OnOptions(kColumnsPage); });
    commands.SetHandler(ECommandId::Exit, [this] { close(); });
    commands.SetHandler(ECommandId::NextPane, [this] { ActivateOtherPane(true); });
    commands.SetHandler(ECommandId::PrevPane, [this] { ActivateOtherPane(true); });

    constexpr std::array kModes{std::pair{ECommandId::ModeArtist, EDisplayMode::Artist},
                                std::pair{ECommandId::ModeGenreArtist, EDisplayMode::GenreArtist},
                                std::pair{ECommandId::ModeAlbumArtist, EDisplayMode::AlbumArtist}};
    for (const auto& [id, mode] : kModes) {
        commands.SetHandler(id, [this, mode = mode] { SetDisplayMode(mode); });
        commands.SetUpdateRule(id, [this, mode = mode](SCommandState& state) {
            state.checked = doc_.DisplayMode() == mode;
        });
    }
    BindViewCommands();
    BindBarCommands();
}

// Commands on the track list; each does nothing while there is no track list view.
void CMainFrame::BindViewCommands() {
    CCommandTable& commands = *commands_;
    // Play, Enqueue, Properties and Copy belong to the track list and follow its rule once they
    // have handlers; until then they have none, which keeps them disabled.
    commands.SetHandler(ECommandId::Play, [this] {
        if (CQuavView* view = GetTrackListView())
            view->Play();
    });
    commands.SetHandler(ECommandId::Enqueue, [this] {
        if (CQuavView* view = GetTrackListView())
            view->Enqueue();
    });
    commands.SetHandler(ECommandId::Copy, [this] {
        if (CQuavView* view = GetTrackListView())
            view->Copy();
    });
    commands.SetHandler(ECommandId::Properties, [this] {
        if (CQuavView* view = GetTrackListView())
            view->EditProperties();
    });
    for (const ECommandId id :
         {ECommandId::Play, ECommandId::Enqueue, ECommandId::Properties, ECommandId::Copy}) {
        commands.SetUpdateRule(id, [this](SCommandState& state) {
            const CQuavView* view = GetTrackListView();
            state.enabled = view != nullptr && view->CanPlay();
        });
    }
    commands.SetHandler(ECommandId::SelectAll, [this] {
        if (CQuavView* view = GetTrackListView()) {
            SetActiveView(view);
            view->SelectAll();
        }
    });
    commands.SetHandler(ECommandId::DisplayAll, [this] {
        if (CQuavView* view = GetTrackListView())
            view->ToggleDisplayAll();
    });
    commands.SetUpdateRule(ECommandId::DisplayAll, [this](SCommandState& state) {
        const CQuavView* view = GetTrackListView();
        state.checked = view != nullptr && view->DisplayAll();
    });

    constexpr std::array kStyles{std::pair{ECommandId::LargeIcons, EViewStyle::LargeIcons},
                                 std::pair{ECommandId::SmallIcons, EViewStyle::SmallIcons},
                                 std::pair{ECommandId::List, EViewStyle::List},
                                 std::pair{ECommandId::Details, EViewStyle::Details}};
    for (const auto& [id, style] : kStyles) {
        commands.SetHandler(id, [this, style = style] {
            if (CQuavView* view = GetTrackListView())
                view->SetViewStyle(style);
        });
        commands.SetUpdateRule(id, [this, style = style](SCommandState& state) {
            const CQuavView* view = GetTrackListView();
            state.enabled = view != nullptr;
            state.checked = view != nullptr && view->ViewStyle() == style;
        });
    }
}

void CMainFrame::BindBarCommands() {
    CCommandTable& commands = *commands_;
    const std::array kSwitches{std::pair{ECommandId::ToolBar, &showToolBar_},
                               std::pair{ECommandId::AddressBar, &showAddressBar_},
                               std::pair{ECommandId::TextLabels, &showLabels_}};
    for (const auto& [id, flag] : kSwitches) {
        commands.SetHandler(id, [this, flag = flag] {
            *flag = !*flag;
            ApplyBarLayout();
        });
        commands.SetUpdateRule(id, [flag = flag](SCommandState& state) { state.checked = *flag; });
    }
    commands.SetHandler(ECommandId::StatusBar,
                        [this] { statusBar()->setHidden(!statusBar()->isHidden()); });
    commands.SetUpdateRule(ECommandId::StatusBar, [this](SCommandState& state) {
        state.checked = !statusBar()->isHidden();
    });
    commands.SetHandler(ECommandId::CoverPane,
                        [this] { coverPane_->SetEnabled(!coverPane_->IsOn()); });
    commands.SetUpdateRule(ECommandId::CoverPane,
                           [this](SCommandState& state) { state.checked = coverPane_->IsOn(); });
}

// The sheet edits copies; only OK stores them, writes them and shows their effect: the tray icon
// at once, the list's rows and columns through the hint.
void CMainFrame::OnOptions(int page) {
    CQuavView* view = GetTrackListView();
    if (view == nullptr)
        return;
    COptionSheet sheet(SOptionValues::From(settings_, view->Columns()), this);
    sheet.Tabs().setCurrentIndex(page);
    if (sheet.exec() != QDialog::Accepted)
        return;
    sheet.Values().ApplyTo(settings_, view->Columns());
    settings_.WriteOptions(profile_,
                           [view](CIniProfile& profile) { view->SaveColumnSettings(profile); });
    UpdateTrayIcon();
    treeCovers_->SetEnabled(settings_.TreeCovers != 0);
    doc_.UpdateAllViews(nullptr, EHint::ColumnsChanged);
    // The tree shows a change of its grouping at once.
    const CCatalogGroups::SOptions& grouped = doc_.Groups().Options();
    if (grouped.byAlbumArtist != (settings_.GroupByAlbumArtist != 0) ||
        grouped.detectCompilations != (settings_.DetectCompilations != 0) ||
        grouped.ignoredArticles != settings_.IgnoredArticles)
        doc_.RegroupAll();
}

// The column records are written exactly as the sheet's OK writes them, so the sheet, the profile
// and the list never disagree.
void CMainFrame::ApplyColumns(const std::array<CColumnInfo, kFieldCount>& columns) {
    CQuavView* view = GetTrackListView();
    if (view == nullptr)
        return;
    view->Columns() = columns;
    settings_.WriteColumns(profile_,
                           [view](CIniProfile& profile) { view->SaveColumnSettings(profile); });
    doc_.UpdateAllViews(nullptr, EHint::ColumnsChanged);
}

void CMainFrame::RunCommand(ECommandId id) {
    commands_->Execute(id);
}
