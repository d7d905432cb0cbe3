#pragma once

#include "catalog/CatalogView.h"

#include <vector>

// A view that only remembers the hints it was sent, in order.
class CRecordingView : public CView {
public:
    explicit CRecordingView(CDocument& document) : document_(document) { document_.AddView(this); }
    ~CRecordingView() override { document_.RemoveView(this); }

    void OnUpdate(CView*, EHint hint, const TrackArray* tracks) override {
        hints.push_back(hint);
        objects.push_back(tracks);
    }

    std::vector<EHint> hints;
    std::vector<const TrackArray*> objects;

private:
    CDocument& document_;
};
