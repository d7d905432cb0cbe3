#pragma once

#include "TrackFiles.h"
#include "catalog/QuavDoc.h"
#include "platform/IniProfile.h"
#include "settings/AppSettings.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"
#include "views/FrameServices.h"
#include "views/QuavView.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The main window as the views see it: it counts what it is asked and keeps the last status.
class CRecordingFrame : public IFrameServices {
public:
    void UpdateStatusPanes(const QString& location, const QString& information,
                           const QString& count, const QString& size,
                           const QString& time) override {
        ++statusUpdates;
        status = {location, information, count, size, time};
    }
    void BeginBusy() override { ++busy; }
    void EndBusy() override { --busy; }
    void CycleFocus() override { ++focusCycles; }
    void RunCommand(ECommandId id) override { commands.push_back(id); }

    int statusUpdates = 0;
    QStringList status;
    int busy = 0;
    int focusCycles = 0;
    std::vector<ECommandId> commands;
};

// What the organisation tree does for the list: at the end of every rebuild it selects its root
// and sends the document's whole list.
class CRootSelector : public CView {
public:
    explicit CRootSelector(CQuavDoc& doc) : doc_(doc) { doc_.AddView(this); }
    ~CRootSelector() override { doc_.RemoveView(this); }
    void OnUpdate(CView*, EHint hint, const TrackArray*) override;

private:
    CQuavDoc& doc_;
};

// A track list view on a real folder of MP3 files, with its own profile and the settings read
// from it, shown in a window wide enough for every column.
class CQuavViewTest : public ::testing::Test {
protected:
    CQuavViewTest();

    // Files in the music folder; the document lists them by name.
    void WriteTracks(const std::vector<STrackFields>& tracks);
    // Reads the settings, makes the document and the view as the main window does, shows the
    // view and opens the music folder.
    void Open();
    void ClickHeader(const QString& label);
    void SendTracks(const TrackArray& tracks);

    QStringList Headers() const;
    std::vector<int> Widths() const;
    std::vector<std::string> RowNames() const;
    QString Cell(int row, int column) const;

    CTempDir dir;
    std::string music;
    CIniProfile profile;
    CAppSettings settings;
    CRecordingReporter reporter;
    CRecordingFrame frame;
    // Destroyed in reverse: the view goes before the document, as when the window closes.
    std::unique_ptr<CQuavDoc> doc;
    std::unique_ptr<CRootSelector> tree;
    std::unique_ptr<CQuavView> view;
};
