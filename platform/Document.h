#pragma once

#include "platform/TrackArray.h"

#include <string>
#include <vector>

class CView;

// A document and its views. The document owns nothing of its views; it only tells them about
// changes, in the order they were added, skipping the view that caused the change.
class CDocument {
public:
    virtual ~CDocument() = default;

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return views_; }
    void UpdateAllViews(CView* sender, int hint, const TrackArray* tracks = nullptr);
    void SendInitialUpdate();

    const std::string& GetTitle() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

private:
    std::vector<CView*> views_;
    std::string title_;
};
