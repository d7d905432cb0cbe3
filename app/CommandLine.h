#pragma once

#include <optional>

// What the program answers on its command line without opening a window (and so without a
// display): its usage and its version, on standard output; the usage on standard error, with
// status 2, after a line that names the fault, for an option that is neither its own nor Qt's
// and for a second address.
class CCommandLine {
public:
    // The exit status when the arguments ask for the usage ("--help", "-h") or the version
    // ("--version"), or hold an unknown option or more than one address, after printing;
    // nothing when the window is to open.
    static std::optional<int> Answer(int argc, char** argv);
};
