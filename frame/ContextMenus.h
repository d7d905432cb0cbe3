#pragma once

#include "model/TrackArray.h"

#include <QObject>
#include <QPoint>

#include <memory>

class CCommandTable;
class CMainFrame;
class QMenu;

// The context menus of the track list, of a tree node and of the tray icon, built from the
// command table, and the commands only they carry: a node's tracks, in the list's order, to the
// player or the properties sheet; a track's file shown in the file manager; the window shown
// or hidden.
class CContextMenus : public QObject {
    Q_OBJECT
public:
    CContextMenus(CMainFrame& frame, CCommandTable& commands);

    std::unique_ptr<QMenu> BuildTrackMenu();
    void ShowTrackMenu(QPoint globalPosition);
    // The node's commands act on `tracks` until one of them runs, the menu closes or the
    // catalog is rebuilt (ForgetNode).
    std::unique_ptr<QMenu> BuildNodeMenu(const TrackArray& tracks);
    void ShowNodeMenu(QPoint globalPosition, const TrackArray& tracks);
    void ForgetNode() { node_.clear(); }
    std::unique_ptr<QMenu> BuildTrayMenu();

private:
    void BindCommands();
    void OpenContainingFolder();
    // The node's tracks in the list's order, taken from the menu.
    TrackArray TakeNode();

    CMainFrame& frame_;
    CCommandTable& commands_;
    TrackArray node_;
};
