#pragma once

#include <string>
#include <vector>

// Runs a program as a process of its own, its output discarded, and says what it took.
class CProcessTimer {
public:
    struct STimes {
        double cpu;  // user and system time of the process
        double wall; // from start to exit
        long peakKb; // the most resident memory the process held, in KiB
    };

    // With `cpus` above 0 the process may run on that many processors only (the first of those
    // this process may use).
    static STimes Run(const std::vector<std::string>& command,
                      const std::vector<std::string>& environment, int cpus = 0);
};
