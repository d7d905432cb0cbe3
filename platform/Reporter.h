#pragma once

#include <string_view>

// The one way the core tells the user about a failure: the GUI shows a message box, the
// command-line tool writes to standard error. The core never prints.
class IReporter {
public:
    virtual ~IReporter() = default;
    virtual void Report(std::string_view caption, std::string_view text) = 0;
};
