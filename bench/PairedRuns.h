#pragma once

#include "bench/ProcessTimer.h"

#include <functional>
#include <string>
#include <vector>

// Runs programs against each other in turn, a few rounds, and keeps the best of each: the
// least processor time, the least wall time and the least peak memory seen.
class CPairedRuns {
public:
    using Command = std::vector<std::string>;
    struct SBest {
        double cpu = 1e30;
        double wall = 1e30;
        long peakKb = -1;
        void Add(const CProcessTimer::STimes& times);
    };

    // Each round runs every command once, in turn, each after `prepare` and with `cpus`
    // processors (0: all).
    static std::vector<SBest> Run(int rounds, const std::vector<Command>& commands,
                                  const std::vector<std::string>& environment,
                                  const std::function<void()>& prepare, int cpus = 0);
};
