// The main window's side of the command table: what each command does and when it is enabled,
// checked or radio-marked.
#include "frame/MainFrame.h"

#include "app/AppSettings.h"
#include "catalog/QuavDoc.h"
#include "frame/CommandIds.h"
#include "frame/CommandTable.h"
#include "views/QuavView.h"

#include <QMenu>

#include <QStatusBar>

#include <array>
#include <utility>

using namespace CommandId;

void CMainFrame::BindCommands() {
    CCommandTable& commands = *commands_;
    commands.SetHandler(kRefresh, [this] { doc_.Refresh(); });
    commands.SetUpdateRule(kRefresh, [this](SCommandState& state) {
        state.enabled = settings_.UseCachedCatalog != 0;
    });
    commands.SetHandler(kExit, [this] { close(); });
    commands.SetHandler(kNextPane, [this] { ActivateOtherPane(true); });
    commands.SetHandler(kPrevPane, [this] { ActivateOtherPane(true); });

    constexpr std::array kModes{std::pair{kModeArtist, 0}, std::pair{kModeGenreArtist, 1},
                                std::pair{kModeAlbumArtist, 2}};
    for (const auto& [id, mode] : kModes) {
        commands.SetHandler(id, [this, mode = mode] { SetDisplayMode(mode); });
        commands.SetUpdateRule(id, [this, mode = mode](SCommandState& state) {
            state.checked = displayMode_ == mode;
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
    commands.SetHandler(kCopy, [this] {
        if (CQuavView* view = GetTrackListView())
            view->Copy();
    });
    for (const int id : {kPlay, kEnqueue, kProperties, kCopy}) {
        commands.SetUpdateRule(id, [this](SCommandState& state) {
            const CQuavView* view = GetTrackListView();
            state.enabled = view != nullptr && view->CanPlay();
        });
    }
    commands.SetHandler(kSelectAll, [this] {
        if (CQuavView* view = GetTrackListView()) {
            SetActiveView(view);
            view->SelectAll();
        }
    });
    commands.SetHandler(kDisplayAll, [this] {
        if (CQuavView* view = GetTrackListView())
            view->ToggleDisplayAll();
    });
    commands.SetUpdateRule(kDisplayAll, [this](SCommandState& state) {
        const CQuavView* view = GetTrackListView();
        state.checked = view != nullptr && view->DisplayAll();
    });

    constexpr std::array kStyles{std::pair{kLargeIcons, EViewStyle::LargeIcons},
                                 std::pair{kSmallIcons, EViewStyle::SmallIcons},
                                 std::pair{kList, EViewStyle::List},
                                 std::pair{kDetails, EViewStyle::Details}};
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
    const std::array kSwitches{std::pair{kToolBar, &showToolBar_},
                               std::pair{kAddressBar, &showAddressBar_},
                               std::pair{kTextLabels, &showLabels_}};
    for (const auto& [id, flag] : kSwitches) {
        commands.SetHandler(id, [this, flag = flag] {
            *flag = !*flag;
            ApplyBarLayout();
        });
        commands.SetUpdateRule(id, [flag = flag](SCommandState& state) { state.checked = *flag; });
    }
    commands.SetHandler(kStatusBar, [this] { statusBar()->setHidden(!statusBar()->isHidden()); });
    commands.SetUpdateRule(
        kStatusBar, [this](SCommandState& state) { state.checked = !statusBar()->isHidden(); });
}

// The list's context menu: Play, Enqueue, Copy and Properties, each as enabled as its command.
std::unique_ptr<QMenu> CMainFrame::BuildTrackMenu() {
    commands_->UpdateAll();
    auto menu = std::make_unique<QMenu>(this);
    const std::pair<int, const char*> items[] = {
        {kPlay, "&Play"}, {kEnqueue, "&Enqueue"}, {0, nullptr},
        {kCopy, "&Copy"}, {0, nullptr},           {kProperties, "&Properties ..."}};
    for (const auto& [id, text] : items) {
        if (text == nullptr) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setEnabled(commands_->Action(id)->isEnabled());
        connect(action, &QAction::triggered, this,
                [this, commandId = id] { commands_->Execute(commandId); });
    }
    return menu;
}

void CMainFrame::ShowTrackMenu(QPoint globalPosition) {
    BuildTrackMenu()->exec(globalPosition);
}
