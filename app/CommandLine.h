#pragma once

#include <optional>

// What the program answers on its command line without opening a window (and so without a
// display): its usage and its version, on standard output.
class CCommandLine {
public:
    // The exit status when the arguments ask for the usage ("--help", "-h") or the version
    // ("--version"), after printing it; nothing when the window is to open.
    static std::optional<int> Answer(int argc, char** argv);
};
