#include "bench/PairedRuns.h"

#include <algorithm>

void CPairedRuns::SBest::Add(const CProcessTimer::STimes& times) {
    cpu = std::min(cpu, times.cpu);
    wall = std::min(wall, times.wall);
    peakKb = peakKb < 0 ? times.peakKb : std::min(peakKb, times.peakKb);
}

std::vector<CPairedRuns::SBest> CPairedRuns::Run(int rounds, const std::vector<Command>& commands,
                                                 const std::vector<std::string>& environment,
                                                 const std::function<void()>& prepare, int cpus) {
    std::vector<SBest> best(commands.size());
    for (int round = 0; round < rounds; ++round)
        for (std::size_t i = 0; i < commands.size(); ++i) {
            prepare();
            best[i].Add(CProcessTimer::Run(commands[i], environment, cpus));
        }
    return best;
}
