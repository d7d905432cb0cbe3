#include "frame/ContextMenus.h"

#include "desktop/FrameStrings.h"
#include "desktop/MessageBox.h"
#include "desktop/ShellVerb.h"
#include "desktop/TextCodec.h"
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "model/Mp3File.h"
#include "platform/StringIds.h"
#include "views/QuavView.h"

#include <QMenu>

CContextMenus::CContextMenus(CMainFrame& frame, CCommandTable& commands)
    : QObject(&frame), frame_(frame), commands_(commands) {
    BindCommands();
}

void CContextMenus::BindCommands() {
    commands_.SetHandler(ECommandId::PlayNode, [this] {
        if (CQuavView* view = frame_.GetTrackListView())
            view->Play(TakeNode());
    });
    commands_.SetHandler(ECommandId::EnqueueNode, [this] {
        if (CQuavView* view = frame_.GetTrackListView())
            view->Enqueue(TakeNode());
    });
    commands_.SetHandler(ECommandId::NodeProperties, [this] {
        if (CQuavView* view = frame_.GetTrackListView())
            view->EditProperties(TakeNode());
    });
    for (const ECommandId id :
         {ECommandId::PlayNode, ECommandId::EnqueueNode, ECommandId::NodeProperties})
        commands_.SetUpdateRule(id, [this](SCommandState& state) {
            state.enabled = !node_.empty() && frame_.GetTrackListView() != nullptr;
        });
    commands_.SetHandler(ECommandId::OpenContainingFolder, [this] { OpenContainingFolder(); });
    commands_.SetUpdateRule(ECommandId::OpenContainingFolder, [this](SCommandState& state) {
        const CQuavView* view = frame_.GetTrackListView();
        state.enabled = view != nullptr && view->CanPlay();
    });
    commands_.SetHandler(ECommandId::ShowHide, [this] {
        if (!frame_.isVisible() || frame_.isMinimized() || !frame_.HideInTray())
            frame_.BringBack();
    });
}

TrackArray CContextMenus::TakeNode() {
    TrackArray tracks = std::move(node_);
    node_.clear();
    const CQuavView* view = frame_.GetTrackListView();
    return view != nullptr ? view->InListOrder(std::move(tracks)) : TrackArray();
}

// The top selected row's file.
void CContextMenus::OpenContainingFolder() {
    const CQuavView* view = frame_.GetTrackListView();
    const TrackArray selected = view != nullptr ? view->SelectedTracks() : TrackArray();
    if (selected.empty())
        return;
    const std::string path = selected.front()->FullPath();
    if (CShellVerb::ShowInFolder(path) != CShellVerb::EResult::Started)
        CMessageBox::Show(
            &frame_,
            CFrameStrings::Get(EStringId::MsgFolderNotShown).arg(CTextCodec::ToQString(path)),
            QMessageBox::Warning);
}

std::unique_ptr<QMenu> CContextMenus::BuildTrackMenu() {
    auto menu = std::make_unique<QMenu>(&frame_);
    commands_.BuildPopup(CCommandTable::EPopup::Tracks, *menu);
    return menu;
}

void CContextMenus::ShowTrackMenu(QPoint globalPosition) {
    BuildTrackMenu()->exec(globalPosition);
}

std::unique_ptr<QMenu> CContextMenus::BuildNodeMenu(const TrackArray& tracks) {
    node_ = tracks;
    auto menu = std::make_unique<QMenu>(&frame_);
    commands_.BuildPopup(CCommandTable::EPopup::Node, *menu);
    return menu;
}

void CContextMenus::ShowNodeMenu(QPoint globalPosition, const TrackArray& tracks) {
    BuildNodeMenu(tracks)->exec(globalPosition);
    ForgetNode();
}

std::unique_ptr<QMenu> CContextMenus::BuildTrayMenu() {
    auto menu = std::make_unique<QMenu>();
    commands_.BuildPopup(CCommandTable::EPopup::Tray, *menu);
    return menu;
}
