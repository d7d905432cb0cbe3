#pragma once

#include "platform/View.h"

#include <algorithm>
#include <string>
#include <vector>

// A document and its views. The document owns nothing of its views; it only tells them about
// changes, in the order they were added, skipping the view that caused the change. The hint
// type and the object a hint carries are the application's own.
template <class THint, class TObject>
class TDocument {
public:
    using View = TView<THint, TObject>;

    virtual ~TDocument() = default;

    void AddView(View* view) {
        if (std::find(views_.begin(), views_.end(), view) == views_.end())
            views_.push_back(view);
    }
    void RemoveView(View* view) { std::erase(views_, view); }
    const std::vector<View*>& Views() const { return views_; }

    void UpdateAllViews(View* sender, THint hint, const TObject* object = nullptr) {
        // A copy: a view may add or remove views while it is told.
        const std::vector<View*> views = views_;
        for (View* view : views)
            if (view != sender)
                view->OnUpdate(sender, hint, object);
    }

    void SendInitialUpdate() {
        const std::vector<View*> views = views_;
        for (View* view : views)
            view->OnInitialUpdate();
    }

    const std::string& GetTitle() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

private:
    std::vector<View*> views_;
    std::string title_;
};
