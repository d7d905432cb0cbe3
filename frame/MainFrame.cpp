#include "frame/MainFrame.h"

#include "catalog/Address.h"
#include "catalog/QuavDoc.h"
#include "desktop/BusyAnimation.h"
#include "desktop/CoverLoader.h"
#include "desktop/FrameStrings.h"
#include "desktop/TextCodec.h"
#include "frame/AddressBar.h"
#include "frame/BarLayout.h"
#include "frame/CommandTable.h"
#include "frame/ContextMenus.h"
#include "frame/CoverPane.h"
#include "frame/DropTarget.h"
#include "frame/EmptyHint.h"
#include "frame/FilterBox.h"
#include "frame/FolderWatcher.h"
#include "frame/PaneSplit.h"
#include "frame/StatusPanes.h"
#include "frame/TrackLocator.h"
#include "frame/TrayIcon.h"
#include "frame/WalkGuard.h"
#include "frame/WindowPlacement.h"
#include "platform/IniProfile.h"
#include "platform/StringIds.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"
#include "settings/AppSettings.h"
#include "settings/SettingsKeys.h"
#include "views/LeftView.h"
#include "views/ListViewEx.h"
#include "views/QuavView.h"
#include "views/TreeCovers.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kTreeWidth = 250;
constexpr int kListWidth = 100;
constexpr int kProgressMilliseconds = 50;
constexpr int kMessageMilliseconds = 10000;

// Image of the display mode in status pane 2; any other value shows the information image.
int ModeImage(EDisplayMode mode) {
    switch (mode) {
    case EDisplayMode::Artist:
        return ResourceId::kImageArtist;
    case EDisplayMode::GenreArtist:
        return ResourceId::kImageGenre;
    case EDisplayMode::AlbumArtist:
        return ResourceId::kImageAlbum;
    default:
        return ResourceId::kImageInformation;
    }
}

} // namespace

CMainFrame::CMainFrame(CQuavDoc& doc, CAppSettings& settings, CIniProfile& profile)
    : doc_(doc), settings_(settings), profile_(profile), showLabels_(settings.ShowLabels != 0) {}

CMainFrame::~CMainFrame() {
    disconnect(focusWatch_);
    doc_.SetProgress(nullptr);
}

bool CMainFrame::Create() {
    setAcceptDrops(true);
    int width = 0, height = 0, left = 0, top = 0;
    settings_.GetWindowSettings(width, height, left, top);
    QRect window(left, top, width, height);
    // No size saved: a first start opens a window that shows the collection, not a small one.
    if (const QRect first = CWindowPlacement::FirstWindow();
        !first.isEmpty() && profile_.GetInt(SettingsKey::kSectionUser, SettingsKey::kCx, -1) < 0)
        window = first;
    setGeometry(CWindowPlacement::OnScreen(window));
    if (!CreateSplitter() || !CreateBars())
        return false;
    commands_ = new CCommandTable(*this);
    commands_->BuildMenus(*menuBar());
    contextMenus_ = new CContextMenus(*this, *commands_);
    bars_ = std::make_unique<CBarLayout>(*this, *commands_, *addressBox_, *filterBox_, *stopButton_,
                                         *animation_);
    ApplyBarLayout();
    BindCommands();
    TrackMenus();
    addressBox_->Fill({settings_.Addresses.begin(), settings_.Addresses.end()}, settings_.FilePath);
    GetTrackListView()->SetViewStyle(EViewStyle::Details);

    watcher_ = new CFolderWatcher(doc_, settings_, this);
    connect(watcher_, &CFolderWatcher::LimitReached, this,
            [this] { statusBar()->showMessage(CFrameStrings::Get(EStringId::MsgWatchLimit)); });
    connect(watcher_, &CFolderWatcher::PollingStarted, this,
            [this](int seconds) { statusBar()->showMessage(CFolderWatcher::PollNote(seconds)); });
    doc_.SetProgress([this](std::size_t filesSeen, std::size_t estimate) {
        OnWalkProgress(filesSeen, estimate);
    });
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &CMainFrame::OnIdle);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QWidget* pane : {static_cast<QWidget*>(leftPane_), rightPane_})
            if (now != nullptr && (now == pane || pane->isAncestorOf(now)))
                activeView_ = pane;
    });
    setWindowIcon(CResources::ApplicationIcon());
    UpdateFrameTitle();
    UpdateTrayIcon();
    return true;
}

void CMainFrame::UpdateTrayIcon() {
    if (settings_.MinimizeToSystray != 0 && tray_ == nullptr) {
        tray_ =
            new CTrayIcon(this, CFrameStrings::Get(EStringId::AppTitle), {CResources::TrayIcon()});
        connect(tray_, &CTrayIcon::LeftPressed, this, &CMainFrame::BringBack);
        tray_->SetIcon(0);
        tray_->SetMenu(contextMenus_->BuildTrayMenu());
    } else if (settings_.MinimizeToSystray == 0 && tray_ != nullptr) {
        delete tray_;
        tray_ = nullptr;
    }
}

// Only where an icon really stands in the notification area: a window hidden without one could
// not be brought back, so it is then minimised as any window is.
bool CMainFrame::HideInTray() {
    if (settings_.MinimizeToSystray == 0 || tray_ == nullptr || !tray_->IsEnabled())
        return false;
    hide();
    hiddenInTray_ = true;
    return true;
}

void CMainFrame::BringBack() {
    if (hiddenInTray_) {
        showNormal();
        hiddenInTray_ = false;
    }
    raise();
    activateWindow();
}

bool CMainFrame::CreateSplitter() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    leftPane_ = new CLeftView(doc_, *this, splitter_);
    leftPane_->setAccessibleName(QStringLiteral("Organisation tree"));
    auto* trackList = new CQuavView(doc_, settings_, *this, splitter_);
    trackList->setAccessibleName(QStringLiteral("Track list"));
    trackList->LoadColumnSettings(profile_);
    connect(trackList, &CQuavView::ContextMenuRequested, this,
            [this](QPoint at) { contextMenus_->ShowTrackMenu(at); });
    connect(trackList, &CQuavView::ColumnsEdited, this, &CMainFrame::ApplyColumns);
    connect(trackList, &CQuavView::ColumnOptionsRequested, this,
            [this] { RunCommand(ECommandId::ColumnOptions); });
    connect(
        leftPane_, &CLeftView::NodeMenuRequested, this,
        [this](QPoint at, const TrackArray& tracks) { contextMenus_->ShowNodeMenu(at, tracks); });
    rightPane_ = trackList;
    splitter_->addWidget(CreateTreeSide());
    splitter_->addWidget(rightPane_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    splitter_->setSizes({kTreeWidth, std::max(kListWidth, width() - kTreeWidth)});
    new CPaneSplit(*splitter_, kTreeWidth);
    setCentralWidget(splitter_);
    emptyHint_ = new CEmptyHint(CFrameStrings::Get(EStringId::HowToOpenAFolder), *rightPane_);
    activeView_ = leftPane_;
    leftPane_->setFocus(Qt::OtherFocusReason);
    return true;
}

QWidget* CMainFrame::CreateTreeSide() {
    covers_ = new CCoverLoader(this);
    connect(covers_, &CCoverLoader::Note, this,
            [this](const QString& note) { statusBar()->showMessage(note, kMessageMilliseconds); });
    const CCoverLoader::Lookup lookup = [this](const CMp3File& track) {
        return doc_.CoverOf(track);
    };
    coverPane_ = new CCoverPane(*covers_, lookup);
    coverPane_->Follow(*leftPane_, *GetTrackListView());
    coverPane_->SetEnabled(settings_.CoverPane != 0);
    treeCovers_ = new CTreeCovers(*leftPane_, *covers_, lookup);
    treeCovers_->SetEnabled(settings_.TreeCovers != 0);
    GetTrackListView()->List()->ShowCovers(*covers_, lookup);
    auto* side = new QWidget(splitter_);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(leftPane_, 1);
    layout->addWidget(coverPane_);
    return side;
}

bool CMainFrame::CreateBars() {
    addressBox_ = new CAddressBar(this);
    addressBox_->setObjectName(QStringLiteral("addressBox"));
    connect(addressBox_, &CAddressBar::AddressEntered, this, [this](const std::string& address) {
        if (GoToAddress(address))
            addressBox_->AddAddress(address);
    });
    connect(addressBox_, &CAddressBar::AddressChosen, this,
            [this](const std::string& address) { GoToAddress(address); });
    addressBox_->setAccessibleName(CFrameStrings::Get(EStringId::LabelAddress));
    // The browser's key for the address: the focus goes there with the text selected. (Alt+D
    // stays the "&Display" menu's.)
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this), &QShortcut::activated, this,
            &CMainFrame::FocusAddress);
    CreateBrowseButton();
    CreateFilterBox();
    animation_ = new CBusyAnimation(this);
    animation_->setObjectName(QStringLiteral("busyAnimation"));
    animation_->setAccessibleName(QStringLiteral("Busy"));
    if (!animation_->Open(CResources::BusyFrames()))
        return false;
    animation_->SetBackground(CResources::Band());
    CreateStopButton();
    panes_ = std::make_unique<CStatusPanes>(*statusBar());
    return true;
}

// At the end of the address box: the folder chooser, as File > Open Folder.
void CMainFrame::CreateBrowseButton() {
    QLineEdit* edit = addressBox_->lineEdit();
    QAction* browse =
        edit->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
    browse->setObjectName(QStringLiteral("browseFolder"));
    browse->setToolTip(CFrameStrings::Tooltip(ECommandId::Open));
    connect(browse, &QAction::triggered, this, [this] { commands_->Execute(ECommandId::Open); });
}

bool CMainFrame::ChooseFolder() {
    const std::string& address = doc_.Address();
    const QString start = address.empty() || address == CAddress::kFavorites
                              ? QDir::homePath()
                              : QFile::decodeName(QByteArray::fromStdString(address));
    const QString folder = QFileDialog::getExistingDirectory(
        this, CFrameStrings::Get(EStringId::ChooseFolderCaption), start);
    return !folder.isEmpty() && OpenFolder(QFile::encodeName(folder).toStdString());
}

// Beside the busy animation while a walk runs; it and Esc are all the input the window takes
// then.
void CMainFrame::CreateStopButton() {
    stopButton_ = new QToolButton(this);
    stopButton_->setObjectName(QStringLiteral("stopButton"));
    const QStringList texts = CFrameStrings::Get(EStringId::ButtonStop).split(QLatin1Char('\n'));
    stopButton_->setText(texts.value(0));
    stopButton_->setToolTip(texts.value(1));
    stopButton_->setAccessibleName(texts.value(0));
    stopButton_->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    stopButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(stopButton_, &QToolButton::clicked, this, [this] { doc_.RequestStop(); });
    walkGuard_ = new CWalkGuard(*stopButton_, this);
    connect(walkGuard_, &CWalkGuard::StopRequested, this, [this] { doc_.RequestStop(); });
    connect(walkGuard_, &CWalkGuard::CloseRequested, this, &QWidget::close);
}

void CMainFrame::CreateFilterBox() {
    filterBox_ = new CFilterBox(this);
    connect(filterBox_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (CQuavView* view = GetTrackListView())
            view->SetFilter(text);
    });
    connect(filterBox_, &CFilterBox::Entered, this, [this] {
        if (CQuavView* view = GetTrackListView())
            view->PrepareFilter();
    });
    connect(filterBox_, &CFilterBox::GoToResults, this, [this] {
        if (CQuavView* view = GetTrackListView())
            view->FocusFirstRow();
    });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this,
            &CMainFrame::FocusFilter);
}

// The keys of the address and the filter bring back the band that holds them.
void CMainFrame::ShowAddressBand() {
    if (showAddressBar_)
        return;
    showAddressBar_ = true;
    ApplyBarLayout();
}

void CMainFrame::FocusFilter() {
    ShowAddressBand();
    filterBox_->setFocus(Qt::ShortcutFocusReason);
    filterBox_->selectAll();
}

void CMainFrame::FocusAddress() {
    ShowAddressBand();
    addressBox_->setFocus(Qt::ShortcutFocusReason);
    if (QLineEdit* edit = addressBox_->lineEdit())
        edit->selectAll();
}

void CMainFrame::ApplyBarLayout() {
    bars_->Apply(showToolBar_, showAddressBar_, showLabels_);
}

CQuavView* CMainFrame::GetTrackListView() const {
    return qobject_cast<CQuavView*>(rightPane_);
}

void CMainFrame::UpdateStatusPanes(const QString& location, const QString& information,
                                   const QString& count, const QString& size, const QString& time) {
    if (!location.isEmpty())
        panes_->SetText(CStatusPanes::kLocation, location);
    panes_->SetText(CStatusPanes::kInformation, information);
    panes_->SetIcon(CStatusPanes::kInformation,
                    information.isEmpty() ? -1 : ResourceId::kImageInformation);
    if (modeIconDirty_) {
        panes_->SetIcon(CStatusPanes::kMode, ModeImage(doc_.DisplayMode()));
        modeIconDirty_ = false;
    }
    const std::pair<int, const QString*> rest[] = {
        {CStatusPanes::kCount, &count}, {CStatusPanes::kSize, &size}, {CStatusPanes::kTime, &time}};
    for (const auto& [pane, text] : rest)
        if (!text->isEmpty())
            panes_->SetText(pane, *text);
}

// The wait lasts from the tree's rebuild begin to its end; the list is not ready meanwhile.
// The old node's texts go with its tree: while the catalog is rebuilt the status bar shows only
// the count of files read, until the new root is selected.
// The command states follow the catalog at once: the loop does not go idle during a walk. Nor
// does the hint on opening a folder stay up over the walk of the first one.
void CMainFrame::BeginBusy() {
    walkGuard_->SetActive(true);
    emptyHint_->hide();
    if (contextMenus_ != nullptr)
        contextMenus_->ForgetNode();
    if (commands_ != nullptr) {
        commands_->SetHeld(true);
        commands_->UpdateAll();
    }
    animation_->Play(0, -1, CBusyAnimation::kForever);
    for (const int pane : {CStatusPanes::kLocation, CStatusPanes::kInformation,
                           CStatusPanes::kCount, CStatusPanes::kSize, CStatusPanes::kTime})
        panes_->SetText(pane, {});
    panes_->SetIcon(CStatusPanes::kInformation, -1);
    if (CQuavView* view = GetTrackListView())
        view->SetReady(false);
    if (!busy_)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    busy_ = true;
    progressClock_.start();
}

void CMainFrame::EndBusy() {
    walkGuard_->SetActive(false);
    bars_->ShowStop(false);
    if (CQuavView* view = GetTrackListView())
        view->SetReady(true);
    if (commands_ != nullptr) {
        commands_->SetHeld(false);
        commands_->UpdateAll();
    }
    animation_->Stop();
    animation_->Seek(0);
    if (busy_)
        QApplication::restoreOverrideCursor();
    busy_ = false;
    if (watcher_ != nullptr)
        watcher_->Follow();
    if (closePending_)
        QTimer::singleShot(0, this, &QWidget::close);
}

// Keeps the window painted and the animation moving during a long walk, and lets Stop through;
// the guard drops every other input. The count says how far the walk is when the last walk of
// the address, or its snapshot, tells how many files to expect.
void CMainFrame::OnWalkProgress(std::size_t filesSeen, std::size_t estimate) {
    if (progressClock_.isValid() && progressClock_.elapsed() < kProgressMilliseconds)
        return;
    progressClock_.start();
    bars_->ShowStop(true);
    panes_->SetText(CStatusPanes::kCount,
                    estimate > 0 ? CFrameStrings::Get(EStringId::FileCountOfAbout)
                                       .arg(CFrameStrings::Number(filesSeen),
                                            CFrameStrings::Number(std::max(estimate, filesSeen)))
                                 : CFrameStrings::FileCount(static_cast<long long>(filesSeen)));
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CMainFrame::CycleFocus() {
    if (activeView_ == leftPane_)
        SetActiveView(rightPane_);
    else if (activeView_ == rightPane_)
        SetActiveView(leftPane_);
}

void CMainFrame::ActivateOtherPane(bool fromNone) {
    if (activeView_ == nullptr && fromNone)
        SetActiveView(leftPane_);
    else
        CycleFocus();
}

void CMainFrame::SetActiveView(QWidget* view) {
    activeView_ = view;
    view->setFocus(Qt::OtherFocusReason);
}

// A new address starts without a filter.
bool CMainFrame::GoToAddress(const QString& text) {
    return GoToAddress(addressBox_->AddressOf(text));
}

// An address that names no folder changes nothing but the status bar, which says so.
bool CMainFrame::GoToAddress(const std::string& address) {
    animation_->Play(0, -1, CBusyAnimation::kForever);
    const bool opened = doc_.OpenAddress(address);
    if (opened)
        filterBox_->clear();
    else
        SayNoFolder(address);
    animation_->Stop();
    animation_->Seek(0);
    UpdateFrameTitle();
    return opened;
}

void CMainFrame::SayNoFolder(const std::string& address) {
    const EStringId text =
        CAddress::FileExists(address) ? EStringId::MsgNotAFolder : EStringId::MsgNoSuchFolder;
    statusBar()->showMessage(
        CFrameStrings::Get(text).arg(QFile::decodeName(QByteArray::fromStdString(address))),
        kMessageMilliseconds);
}

void CMainFrame::AddAddressEntry(const QString& text) {
    addressBox_->AddAddressEntry(text);
}

void CMainFrame::SetDisplayMode(EDisplayMode mode) {
    if (doc_.DisplayMode() != mode)
        modeIconDirty_ = true;
    doc_.SetDisplayMode(mode);
}

void CMainFrame::OnIdle() {
    commands_->UpdateAll();
    UpdateFrameTitle();
    emptyHint_->setVisible(doc_.Address().empty());
}

void CMainFrame::UpdateFrameTitle() {
    const QString app = CFrameStrings::Get(EStringId::AppTitle);
    const QString document = CTextCodec::ToQString(doc_.GetTitle());
    const QString title = document.isEmpty() ? app : document + QLatin1String(" - ") + app;
    if (windowTitle() != title)
        setWindowTitle(title);
}

// While a menu is open its highlighted command's prompt spans the status bar; a pointed-at tool
// button shows its prompt the same way until the pointer leaves.
void CMainFrame::TrackMenus() {
    for (QMenu* menu : commands_->Menus()) {
        connect(menu, &QMenu::aboutToShow, this, [this] {
            ++openMenus_;
            panes_->BeginPrompt();
        });
        connect(menu, &QMenu::aboutToHide, this, [this] {
            if (--openMenus_ <= 0) {
                openMenus_ = 0;
                panes_->EndPrompt();
            }
        });
    }
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (openMenus_ > 0 || !tip.isEmpty())
            panes_->ShowPrompt(tip);
        else
            panes_->EndPrompt();
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && !hiddenInTray_)
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                HideInTray();
        });
}

// A folder dropped on the window opens as if typed into the address bar; a track's file opens
// its folder with its row selected. Rows dragged from the list itself are no such drop.
void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!busy_ && event->source() == nullptr &&
        !SDropTarget::Read(event->mimeData(), settings_.FileExt).IsEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const SDropTarget target = SDropTarget::Read(event->mimeData(), settings_.FileExt);
    if (busy_ || event->source() != nullptr || target.IsEmpty())
        return;
    event->acceptProposedAction();
    if (OpenFolder(target.folder) && !target.track.empty())
        ShowTrack(target.track);
}

// The box names a folder while it is walked, as it names a typed one.
bool CMainFrame::OpenFolder(const std::string& address) {
    if (CAddress::DirectoryExists(address))
        addressBox_->AddAddress(address);
    if (!GoToAddress(address))
        return false;
    addressBox_->AddAddress(address);
    return true;
}

bool CMainFrame::ShowTrack(const std::string& path) {
    const CMp3File* track = CTrackLocator::Find(doc_.GetTrackList().Tracks(), path);
    CQuavView* view = GetTrackListView();
    if (track == nullptr || view == nullptr)
        return false;
    CTrackLocator::Show(*track, *leftPane_, *view);
    SetActiveView(rightPane_);
    return true;
}

// A close that arrives during a walk stops it: the window goes at once and closes for good,
// writing its settings, as soon as the walk has ended at its next file. A window hidden in the
// tray was no longer the last one shown, so closing it would not end the program by itself.
void CMainFrame::closeEvent(QCloseEvent* event) {
    if (busy_) {
        doc_.RequestStop();
        closePending_ = true;
        hide();
        event->ignore();
        return;
    }
    const bool hiddenAlready = closePending_ || hiddenInTray_;
    closePending_ = false;
    WriteShutdownSettings();
    hide();
    event->accept();
    if (hiddenAlready)
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void CMainFrame::WriteShutdownSettings() {
    CAppSettings::SShutdownState state;
    CQuavView* view = GetTrackListView();
    state.showLabels = showLabels_ ? 1 : 0;
    state.viewType = static_cast<int>(doc_.DisplayMode());
    state.displayAll = view != nullptr ? (view->DisplayAll() ? 1 : 0) : settings_.DisplayAll;
    state.addressEntries = addressBox_->Addresses();
    const QRect restored = normalGeometry();
    state.left = restored.x();
    state.top = restored.y();
    state.width = restored.width();
    state.height = restored.height();
    state.coverPane = coverPane_->IsOn() ? 1 : 0;
    state.writeColumnWidths = [view](CIniProfile& profile) {
        if (view != nullptr)
            view->WriteColumnWidths(profile);
    };
    settings_.WriteShutdown(profile_, state);
}
