#include "app/QuavApp.h"

#include "catalog/QuavDoc.h"
#include "desktop/FrameStrings.h"
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "platform/CommandIds.h"
#include "platform/Paths.h"
#include "platform/StringIds.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QMessageBox>

namespace {
constexpr char kMinimizedArgument[] = "--minimized";
constexpr char kVersionLine[] = "Quavero - version " QUAVERO_VERSION;
} // namespace

CQuavApp::CQuavApp(int& argc, char** argv)
    : QApplication(argc, argv), profile_(CPaths::ProfilePath()) {
    setApplicationName(CFrameStrings::Get(EStringId::AppTitle));
}

CQuavApp::~CQuavApp() {
    frame_.reset();
    doc_.reset();
}

bool CQuavApp::InitInstance() {
    settings_.LoadSettings(profile_);
    doc_ = std::make_unique<CQuavDoc>(settings_, &profile_, reporter_);
    frame_ = std::make_unique<CMainFrame>(*doc_, settings_, profile_);
    if (!frame_->Create())
        return false;
    reporter_.SetOwner(frame_.get());
    setWindowIcon(CResources::ApplicationIcon());
    frame_->Commands().SetHandler(ECommandId::About, [this] { OnAppAbout(); });
    frame_->Commands().SetHandler(ECommandId::New, [this] { OnFileNew(); });
    // Logging out closes the window as its close box does, so its settings are written.
    connect(this, &QGuiApplication::commitDataRequest, frame_.get(), &QWidget::close);
    doc_->NewDocument();
    doc_->SendInitialUpdate();
    ShowMainWindow();
    return true;
}

// Minimised with the tray option on, the window stays hidden: the tray icon stands for it.
void CQuavApp::ShowMainWindow() {
    frame_->OnIdle();
    if (!arguments().contains(QLatin1String(kMinimizedArgument))) {
        frame_->show();
        return;
    }
    frame_->setWindowState(Qt::WindowMinimized);
    if (!frame_->HideInTray())
        frame_->showMinimized();
}

void CQuavApp::OnAppAbout() {
    QMessageBox::about(frame_.get(), CFrameStrings::Get(EStringId::AboutCaption),
                       QLatin1String(kVersionLine));
}

// Opens again the address the program started with.
void CQuavApp::OnFileNew() {
    doc_->NewDocument();
    doc_->SendInitialUpdate();
}
