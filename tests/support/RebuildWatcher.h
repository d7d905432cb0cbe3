#pragma once

#include "catalog/CatalogView.h"
#include "catalog/Hints.h"

#include <functional>
#include <utility>

// A view that runs an action as each rebuild of its document begins: a walk under way, say.
class CRebuildWatcher : public CView {
public:
    CRebuildWatcher(CDocument& doc, std::function<void()> action)
        : doc_(doc), action_(std::move(action)) {
        doc_.AddView(this);
    }
    ~CRebuildWatcher() override { doc_.RemoveView(this); }
    CRebuildWatcher(const CRebuildWatcher&) = delete;
    CRebuildWatcher& operator=(const CRebuildWatcher&) = delete;
    void OnUpdate(CView*, EHint hint, const TrackArray*) override {
        if (hint == EHint::RebuildBegin)
            action_();
    }

private:
    CDocument& doc_;
    std::function<void()> action_;
};
