#pragma once

#include "desktop/MessageBoxReporter.h"
#include "platform/IniProfile.h"
#include "settings/AppSettings.h"

#include <QApplication>

#include <memory>
#include <string>

class CMainFrame;
class CQuavDoc;

// The application: every setting in memory, the catalog document and the main window. Start-up
// loads the settings, makes the window and shows it, then opens the start-up address from the
// event loop; the window writes its settings when it closes, and the document goes last.
class CQuavApp : public QApplication {
    Q_OBJECT
public:
    // Qt's own arguments are taken out of argv; "--minimized" starts the window minimised.
    CQuavApp(int& argc, char** argv);
    ~CQuavApp() override;

    bool InitInstance();
    // The folder named on the command line (a file's own folder), as its bytes; empty if none.
    const std::string& CommandLineAddress() const { return commandLineAddress_; }

    CAppSettings& Settings() { return settings_; }
    CIniProfile& Profile() { return profile_; }
    CQuavDoc* Document() const { return doc_.get(); }
    CMainFrame* Frame() const { return frame_.get(); }

private:
    void OnAppAbout();
    void OnStopSignal();
    void OnFileNew();
    void ShowMainWindow();
    void LoadToolkitTranslation();
    void OpenStartAddress();

    CAppSettings settings_;
    CIniProfile profile_;
    CMessageBoxReporter reporter_;
    std::unique_ptr<CQuavDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    std::string commandLineArgument_; // as given
    std::string commandLineAddress_;
    std::string commandLineTrack_; // the track named on the command line, by its full path
    bool closed_ = false; // the window closed, or was told to: the start-up address stays shut
};
