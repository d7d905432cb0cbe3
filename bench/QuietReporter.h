#pragma once

#include "platform/Reporter.h"

#include <string_view>

// The benchmarks time the work, not the messages: every report is dropped.
class CQuietReporter : public IReporter {
public:
    void Report(std::string_view, std::string_view) override {}
};
