#pragma once

#include "platform/CommandIds.h"

#include <QList>
#include <QObject>

#include <functional>
#include <map>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// What an update rule decides about a command: whether it can run, and whether its menu entry
// and tool button are marked (check or radio mark, drawn pressed on the button).
struct SCommandState {
    bool enabled = true;
    bool checked = false;
};

// Every command of the main window in one table: menu entry, keys, tool button, handler and
// update rule. The menus, the accelerators and the tool bar are built from it, one QAction per
// command id. A command without a handler is disabled; update rules run on UpdateAll, which the
// window calls when its event loop goes idle and before a menu opens.
class CCommandTable : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;
    using UpdateRule = std::function<void(SCommandState&)>;

    // Creates the actions and puts their keys on `window`.
    explicit CCommandTable(QWidget& window);

    void BuildMenus(QMenuBar& menuBar);
    void BuildToolBar(QToolBar& toolBar);
    // The context menus of the track list, of a tree node and of the tray icon.
    enum class EPopup { Tracks, Node, Tray };
    void BuildPopup(EPopup popup, QMenu& menu);

    void SetHandler(ECommandId id, Handler handler);
    void SetUpdateRule(ECommandId id, UpdateRule rule);
    // While held (the catalog is being rebuilt) every command but Exit is disabled.
    void SetHeld(bool held) { held_ = held; }
    void UpdateAll();
    // Runs a command the way its menu entry does: only when its rule enables it.
    bool Execute(ECommandId id);

    QAction* Action(ECommandId id) const;
    // Menus in menu-bar order, submenus after their parent.
    const QList<QMenu*>& Menus() const { return menus_; }
    // Command ids of the tool buttons, left to right.
    static QList<ECommandId> ButtonCommands();

private:
    struct SCommand {
        QAction* action = nullptr;
        Handler handler;
        UpdateRule rule;
    };

    SCommandState StateOf(const SCommand& command) const;

    std::map<ECommandId, SCommand> commands_;
    bool held_ = false;
    QList<QMenu*> menus_;
};
