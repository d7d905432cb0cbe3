#pragma once

#include "catalog/DisplayMode.h"
#include "settings/ColumnInfo.h"
#include "views/FrameServices.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <array>
#include <cstddef>
#include <memory>

class QMenu;
class CAddressBar;
class CAppSettings;
class CBarLayout;
class CBusyAnimation;
class CCoverLoader;
class CCoverPane;
class CTreeCovers;
class CCommandTable;
class CContextMenus;
class CEmptyHint;
class CFilterBox;
class CIniProfile;
class CLeftView;
class CQuavDoc;
class CQuavView;
class CStatusPanes;
class CTrayIcon;
class CWalkGuard;
class QLineEdit;
class CFolderWatcher;
class QSplitter;
class QToolButton;

// The one top-level window: the tree and the track list side by side, the tool bar, the address
// bar with the busy animation, the status bar and every command. It writes the window's
// settings when it closes.
class CMainFrame : public QMainWindow, public IFrameServices {
    Q_OBJECT
public:
    CMainFrame(CQuavDoc& doc, CAppSettings& settings, CIniProfile& profile);
    ~CMainFrame() override;

    // Places the window and makes its panes and bars; false when a part cannot be made.
    bool Create();

    void UpdateStatusPanes(const QString& location, const QString& information,
                           const QString& count, const QString& size, const QString& time) override;
    void BeginBusy() override;
    void EndBusy() override;
    void CycleFocus() override;
    void RunCommand(ECommandId id) override;

    CQuavView* GetTrackListView() const;
    CLeftView* GetLeftView() const { return leftPane_; }
    // Opens an address given by its bytes, or by its text as the address box shows it.
    bool GoToAddress(const std::string& address);
    bool GoToAddress(const QString& text);
    void AddAddressEntry(const QString& text);
    // Opens a folder given by its bytes (command line, drop) and adds it to the address list.
    bool OpenFolder(const std::string& address);
    // The desktop's folder chooser; the folder chosen opens as if typed. False on Cancel.
    bool ChooseFolder();
    // Selects the row of the track at `path` (bytes), in the node that shows it: the whole
    // address, else the deepest node that holds it. False when the catalog has no such track.
    bool ShowTrack(const std::string& path);
    void ApplyBarLayout();
    void SetDisplayMode(EDisplayMode mode);
    // What the window does whenever its event loop goes idle: command states and the title.
    void OnIdle();
    // Makes or removes the notification-area icon to follow MinimizeToSystray.
    void UpdateTrayIcon();
    CTrayIcon* TrayIcon() const { return tray_; }
    // Hides the window behind its tray icon, if there is one to bring it back; false if not.
    bool HideInTray();
    // Shows the window again, restored if it hid in the tray, in front.
    void BringBack();
    // The header's edit of the columns: applied and written as the options' OK does.
    void ApplyColumns(const std::array<CColumnInfo, kFieldCount>& columns);

    CCommandTable& Commands() const { return *commands_; }
    CContextMenus& ContextMenus() const { return *contextMenus_; }
    CStatusPanes& StatusPanes() const { return *panes_; }
    CFolderWatcher& Watcher() const { return *watcher_; }
    QSplitter& Splitter() const { return *splitter_; }
    QWidget* ActiveView() const { return activeView_; }
    CCoverLoader& Covers() const { return *covers_; }
    CCoverPane& CoverPane() const { return *coverPane_; }

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool CreateSplitter();
    // The tree with the cover pane below it.
    QWidget* CreateTreeSide();
    bool CreateBars();
    void BindCommands();
    void FocusAddress();
    void FocusFilter();
    void ShowAddressBand();
    void CreateFilterBox();
    void CreateStopButton();
    void CreateBrowseButton();
    void SayNoFolder(const std::string& address);
    void BindViewCommands();
    void BindBarCommands();
    // The options sheet, opened on its page `page`.
    void OnOptions(int page = 0);
    void TrackMenus();
    void SetActiveView(QWidget* view);
    void ActivateOtherPane(bool fromNone);
    void OnWalkProgress(std::size_t filesSeen, std::size_t estimate);
    void UpdateFrameTitle();
    void WriteShutdownSettings();

    CQuavDoc& doc_;
    CAppSettings& settings_;
    CIniProfile& profile_;
    QSplitter* splitter_ = nullptr;
    CLeftView* leftPane_ = nullptr;
    QWidget* rightPane_ = nullptr;
    QWidget* activeView_ = nullptr;
    CCommandTable* commands_ = nullptr;
    CContextMenus* contextMenus_ = nullptr;
    CAddressBar* addressBox_ = nullptr;
    CFilterBox* filterBox_ = nullptr;
    CBusyAnimation* animation_ = nullptr;
    QToolButton* stopButton_ = nullptr;
    CWalkGuard* walkGuard_ = nullptr;
    CEmptyHint* emptyHint_ = nullptr;
    CFolderWatcher* watcher_ = nullptr;
    CCoverLoader* covers_ = nullptr;
    CCoverPane* coverPane_ = nullptr;
    CTreeCovers* treeCovers_ = nullptr;
    std::unique_ptr<CStatusPanes> panes_;
    std::unique_ptr<CBarLayout> bars_;
    bool showToolBar_ = true;
    bool showLabels_;
    bool showAddressBar_ = true;
    bool modeIconDirty_ = true;
    int openMenus_ = 0;
    bool busy_ = false;
    bool closePending_ = false;
    QElapsedTimer progressClock_;
    QMetaObject::Connection focusWatch_;
    CTrayIcon* tray_ = nullptr;
    bool hiddenInTray_ = false;
};
