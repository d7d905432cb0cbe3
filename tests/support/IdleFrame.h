#pragma once

#include "views/FrameServices.h"

// The window's services for a view shown without its window: each does nothing.
class CIdleFrame : public IFrameServices {
public:
    void UpdateStatusPanes(const QString&, const QString&, const QString&, const QString&,
                           const QString&) override {}
    void BeginBusy() override {}
    void EndBusy() override {}
    void CycleFocus() override {}
    void RunCommand(ECommandId) override {}
};
