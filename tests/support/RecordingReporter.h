#pragma once

#include "platform/Reporter.h"

#include <string>
#include <vector>

// Keeps what the core reported, for tests to look at.
class CRecordingReporter : public IReporter {
public:
    struct SMessage {
        std::string caption;
        std::string text;
    };

    void Report(std::string_view caption, std::string_view text) override {
        messages.push_back({std::string(caption), std::string(text)});
    }

    std::vector<SMessage> messages;
};
