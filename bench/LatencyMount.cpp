#include "bench/LatencyMount.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// The mount point of the mount in place and its file system's process, for the signal handler
// ('\0' and 0 when none). Ending the process ends the requests of a walk still at work there.
char gMounted[4096];
volatile pid_t gServer = 0;

void OnSignal(int signal) {
    if (gMounted[0] != '\0')
        ::umount2(gMounted, MNT_DETACH);
    if (gServer > 0)
        ::kill(gServer, SIGKILL);
    ::_exit(128 + signal);
}

int Spawn(const std::vector<std::string>& command, const std::string& log) {
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : command)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

// The mount table writes a blank in a path as "\\040" (and tabs, line ends and backslashes in
// octal too).
bool IsMounted(const std::string& mountPoint) {
    std::string escaped;
    for (const char c : mountPoint) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned char>(c));
            escaped += octal;
        } else {
            escaped += c;
        }
    }
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    const std::string field = ' ' + escaped + ' ';
    while (std::getline(mounts, line))
        if (line.find(field) != std::string::npos)
            return true;
    return false;
}

int Wait(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

} // namespace

CLatencyMount::CLatencyMount(std::string program, std::string source, std::string mountPoint)
    : program_(std::move(program)), source_(std::move(source)),
      mountPoint_(std::filesystem::absolute(mountPoint).lexically_normal().string()),
      stats_(mountPoint_ + ".requests") {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, OnSignal);
}

CLatencyMount::~CLatencyMount() {
    Unmount();
}

void CLatencyMount::Clear(const std::string& mountPoint) {
    if (IsMounted(std::filesystem::absolute(mountPoint).lexically_normal().string()))
        Wait(Spawn({"fusermount3", "-u", "-z", mountPoint}, "/dev/null"));
}

bool CLatencyMount::Mount(std::string& why) {
    ::mkdir(mountPoint_.c_str(), 0755);
    Clear(mountPoint_);
    std::remove(stats_.c_str());
    const std::string log = mountPoint_ + ".log";
    child_ = Spawn({program_, "--stats", stats_, source_, mountPoint_}, log);
    gServer = child_;
    std::snprintf(gMounted, sizeof gMounted, "%s", mountPoint_.c_str());
    for (int i = 0; i < 500; ++i) {
        if (IsMounted(mountPoint_))
            return true;
        int status = 0;
        if (::waitpid(child_, &status, WNOHANG) == child_) {
            child_ = -1;
            gServer = 0;
            gMounted[0] = '\0';
            std::ifstream in(log);
            std::getline(in, why);
            if (why.empty())
                why = "the file system ended at once";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    why = "not mounted after 5 seconds";
    Unmount();
    return false;
}

long CLatencyMount::Unmount() {
    if (child_ < 0)
        return 0;
    if (IsMounted(mountPoint_) && Wait(Spawn({"fusermount3", "-u", mountPoint_}, "/dev/null")) != 0)
        Wait(Spawn({"fusermount3", "-u", "-z", mountPoint_}, "/dev/null"));
    // The file system ends once unmounted; one that never mounted is told to.
    bool ended = false;
    for (int i = 0; i < 500 && !ended; ++i) {
        int status = 0;
        ended = ::waitpid(child_, &status, WNOHANG) == child_;
        if (!ended)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended) {
        ::kill(child_, SIGTERM);
        Wait(child_);
    }
    child_ = -1;
    gServer = 0;
    gMounted[0] = '\0';
    long requests = 0;
    std::ifstream(stats_) >> requests;
    return requests;
}
