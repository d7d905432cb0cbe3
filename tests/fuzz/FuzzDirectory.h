#pragma once

#include <cstdlib>
#include <string>
#include <unistd.h>

// A folder of the fuzz run's own for the files it writes, in memory where the system has it.
inline const std::string& FuzzDirectory() {
    static const std::string directory = [] {
        std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        pattern += "/quavero-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return pattern;
    }();
    return directory;
}
