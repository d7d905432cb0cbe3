#include "platform/Document.h"

#include "platform/View.h"

#include <algorithm>

void CDocument::AddView(CView* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end())
        views_.push_back(view);
}

void CDocument::RemoveView(CView* view) {
    views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void CDocument::UpdateAllViews(CView* sender, int hint, const TrackArray* tracks) {
    // A copy: a view may add or remove views while it is told.
    const std::vector<CView*> views = views_;
    for (CView* view : views)
        if (view != sender)
            view->OnUpdate(sender, hint, tracks);
}

void CDocument::SendInitialUpdate() {
    const std::vector<CView*> views = views_;
    for (CView* view : views)
        view->OnInitialUpdate();
}
