#include "views/QuavView.h"

#include "app/AppSettings.h"
#include "catalog/QuavDoc.h"
#include "views/FrameServices.h"

#include <QKeyEvent>

CQuavView::CQuavView(CQuavDoc& doc, CAppSettings& settings, IFrameServices& frame, QWidget* parent)
    : QWidget(parent), doc_(doc), frame_(frame), displayAll_(settings.DisplayAll != 0) {
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    doc_.AddView(this);
}

CQuavView::~CQuavView() {
    doc_.RemoveView(this);
}

void CQuavView::OnInitialUpdate() {
    ready_ = true;
}

void CQuavView::OnUpdate(CView*, int, const TrackArray*) {}

void CQuavView::SetViewStyle(EViewStyle style) {
    style_ = style;
}

void CQuavView::ToggleDisplayAll() {
    displayAll_ = !displayAll_;
}

void CQuavView::SelectAll() {}

void CQuavView::WriteColumnWidths(CIniProfile&) const {}

bool CQuavView::CanPlay() const {
    return false;
}

// Tab moves to the tree; every other key gets the widget's own handling.
bool CQuavView::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            frame_.CycleFocus();
            return true;
        }
    }
    return QWidget::event(event);
}
