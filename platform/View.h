#pragma once

// A view of a document. The document tells its views about every change through OnUpdate,
// with a hint and, for some hints, the object concerned.
template <class THint, class TObject>
class TView {
public:
    virtual ~TView() = default;
    virtual void OnInitialUpdate() {}
    virtual void OnUpdate(TView* sender, THint hint, const TObject* object) = 0;
};
