#pragma once

#include <string>
#include <sys/types.h>

// The latency file system (LatencyFs) mounted over a folder for one run, taken down when the
// run ends: by Unmount, by the destructor, or by SIGINT/SIGTERM/SIGHUP, so that a failed or
// stopped benchmark leaves no mount behind.
class CLatencyMount {
public:
    CLatencyMount(std::string program, std::string source, std::string mountPoint);
    ~CLatencyMount();
    CLatencyMount(const CLatencyMount&) = delete;
    CLatencyMount& operator=(const CLatencyMount&) = delete;

    // Mounts and waits until the file system answers; false with `why` set when it cannot.
    bool Mount(std::string& why);
    // Unmounts and waits for the file system to end; returns the requests it served.
    long Unmount();
    // Takes down a mount that an earlier run left behind.
    static void Clear(const std::string& mountPoint);

private:
    std::string program_, source_, mountPoint_, stats_;
    pid_t child_ = -1;
};
