#include "app/QuavApp.h"

#include "app/StopSignals.h"
#include "app/ToolkitTranslator.h"
#include "catalog/Address.h"
#include "catalog/QuavDoc.h"
#include "desktop/FrameStrings.h"
#include "dialogs/AboutSheet.h"
#include "frame/CommandTable.h"
#include "frame/MainFrame.h"
#include "platform/CommandIds.h"
#include "platform/Paths.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "res/ResourceIds.h"
#include "res/Resources.h"

#include <QLibraryInfo>
#include <QTimer>

#include <cstdio>

namespace {
constexpr char kMinimizedArgument[] = "--minimized";
} // namespace

// Qt has taken its own options out of argv; the first other argument that is not an option
// names the address, or a track in it. Its bytes are kept: a name need not be valid text.
CQuavApp::CQuavApp(int& argc, char** argv)
    : QApplication(argc, argv), profile_(CPaths::ProfilePath()) {
    setApplicationName(CFrameStrings::Get(EStringId::AppTitle));
    for (int i = 1; i < argc && commandLineAddress_.empty(); ++i) {
        if (argv[i][0] == '-')
            continue;
        commandLineArgument_ = argv[i];
        commandLineAddress_ = CAddress::FolderOf(argv[i]);
        if (!CAddress::DirectoryExists(argv[i]) && CAddress::FileExists(argv[i]))
            commandLineTrack_ = commandLineAddress_ + (commandLineAddress_ == "/" ? "" : "/") +
                                std::string(argv[i]).substr(std::string(argv[i]).rfind('/') + 1);
    }
    LoadToolkitTranslation();
}

// Qt's own texts (standard buttons, the edit fields' menus) in the program's language, when the
// desktop has Qt's translations installed. The names of keys stay as the English window shows
// them.
void CQuavApp::LoadToolkitTranslation() {
    if (CStringTable::LanguageFromEnvironment() != CStringTable::ELanguage::French)
        return;
    auto* translator = new CToolkitTranslator(this);
    if (translator->load(QStringLiteral("qtbase_fr"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    else
        delete translator;
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
    // Logging out closes the window as its close box does, so its settings are written; so do
    // the signals with which a session or a terminal stops its programs.
    connect(this, &QGuiApplication::commitDataRequest, frame_.get(), &QWidget::close);
    connect(new CStopSignals(this), &CStopSignals::Received, this, [this] { OnStopSignal(); });
    connect(this, &QGuiApplication::lastWindowClosed, this, [this] { closed_ = true; });
    doc_->SendInitialUpdate();
    ShowMainWindow();
    // The window is on screen before the first address opens: a walk of a large share takes
    // minutes, and it runs as one started from the window does, with its count and Stop. A
    // snapshot opens in a second at most, which is no reason to keep the window back either.
    QTimer::singleShot(0, frame_.get(), [this] { OpenStartAddress(); });
    return true;
}

// A folder named on the command line is opened as if typed into the address bar, with the
// track named there selected; without one, or when it cannot be opened (which is said on
// standard error too), the address the program opened last. Without that either (a first start
// on a desktop without a music folder), the user is asked for a folder: walking the whole home
// folder is never what was meant. A window closed before this runs (a stop signal, the session
// ending) walks nothing.
void CQuavApp::OpenStartAddress() {
    if (closed_)
        return;
    if (!commandLineAddress_.empty()) {
        if (frame_->OpenFolder(commandLineAddress_)) {
            if (!commandLineTrack_.empty())
                frame_->ShowTrack(commandLineTrack_);
            return;
        }
        std::fprintf(stderr, "quavero: %s: no such folder\n", commandLineArgument_.c_str());
    }
    if (settings_.FilePath.empty()) {
        frame_->ChooseFolder();
        return;
    }
    doc_->NewDocument();
    frame_->OnIdle();
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

// As Exit: the window closes (at the end of a walk, if one runs) and writes its settings. A
// window hidden behind the tray icon is no visible window whose close ends the program.
void CQuavApp::OnStopSignal() {
    closed_ = true;
    if (frame_->close() && !frame_->isVisible())
        quit();
}

void CQuavApp::OnAppAbout() {
    CAboutSheet sheet(frame_.get());
    sheet.exec();
}

// Opens again the address the program started with.
void CQuavApp::OnFileNew() {
    doc_->NewDocument();
    doc_->SendInitialUpdate();
}
