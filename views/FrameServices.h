#pragma once

#include "platform/CommandIds.h"

#include <QString>

// What the views ask of the main window: the status panes, the busy state around a rebuild,
// moving the focus to the other pane on Tab, and running one of its commands.
class IFrameServices {
public:
    virtual ~IFrameServices() = default;
    virtual void UpdateStatusPanes(const QString& location, const QString& information,
                                   const QString& count, const QString& size,
                                   const QString& time) = 0;
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
    virtual void CycleFocus() = 0;
    // As its menu entry would: only while the command is enabled.
    virtual void RunCommand(ECommandId id) = 0;
};
