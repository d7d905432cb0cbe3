#pragma once

#include "platform/View.h"
#include "views/ViewStyle.h"

#include <QWidget>

class CAppSettings;
class CIniProfile;
class CQuavDoc;
class IFrameServices;

// The track list pane. This stand-in takes the hints and keeps the flags the main window reads;
// it shows no rows and holds no track.
class CQuavView : public QWidget, public CView {
    Q_OBJECT
public:
    CQuavView(CQuavDoc& doc, CAppSettings& settings, IFrameServices& frame,
              QWidget* parent = nullptr);
    ~CQuavView() override;

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, int hint, const TrackArray* tracks) override;
    void SetViewStyle(EViewStyle style);
    EViewStyle ViewStyle() const { return style_; }
    bool DisplayAll() const { return displayAll_; }
    void ToggleDisplayAll();
    void SelectAll();
    void SetReady(bool ready) { ready_ = ready; }
    bool IsReady() const { return ready_; }
    void WriteColumnWidths(CIniProfile& profile) const;
    bool CanPlay() const;

protected:
    bool event(QEvent* event) override;

private:
    CQuavDoc& doc_;
    IFrameServices& frame_;
    EViewStyle style_ = EViewStyle::Details;
    bool displayAll_;
    bool ready_ = false;
};
