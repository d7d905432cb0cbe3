#pragma once

#include "platform/Reporter.h"

class QWidget;

// Shows the core's reports as message boxes titled as the core asks, with an OK button.
class CMessageBoxReporter : public IReporter {
public:
    explicit CMessageBoxReporter(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    void Report(std::string_view caption, std::string_view text) override;

private:
    QWidget* owner_;
};
