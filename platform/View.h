#pragma once

#include "platform/TrackArray.h"

// A view of a document. The document tells its views about every change through OnUpdate,
// with a numeric hint and, for some hints, the tracks concerned.
class CView {
public:
    virtual ~CView() = default;
    virtual void OnInitialUpdate() {}
    virtual void OnUpdate(CView* sender, int hint, const TrackArray* tracks) = 0;
};
