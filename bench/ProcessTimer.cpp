#include "bench/ProcessTimer.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

void KeepProcessors(int cpus) {
    cpu_set_t allowed;
    if (cpus <= 0 || ::sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return;
    cpu_set_t kept;
    CPU_ZERO(&kept);
    for (int cpu = 0, left = cpus; cpu < CPU_SETSIZE && left > 0; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            CPU_SET(cpu, &kept);
            --left;
        }
    }
    ::sched_setaffinity(0, sizeof kept, &kept);
}

[[noreturn]] void Exec(const std::vector<std::string>& command,
                       const std::vector<std::string>& environment, int cpus) {
    KeepProcessors(cpus);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    for (const std::string& setting : environment)
        ::putenv(const_cast<char*>(setting.c_str()));
    std::vector<char*> argv;
    for (const std::string& a : command)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

} // namespace

CProcessTimer::STimes CProcessTimer::Run(const std::vector<std::string>& command,
                                         const std::vector<std::string>& environment, int cpus) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0)
        Exec(command, environment, cpus);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "failed: %s\n", command[0].c_str());
    return {Seconds(usage.ru_utime) + Seconds(usage.ru_stime), wall.count(), usage.ru_maxrss};
}
