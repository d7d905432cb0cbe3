#pragma once

#include "platform/Reporter.h"

// The command-line tool's messages: one line on standard error each.
class CStderrReporter : public IReporter {
public:
    void Report(std::string_view caption, std::string_view text) override;
};
