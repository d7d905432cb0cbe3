#pragma once

#include <fcntl.h>
#include <unistd.h>

// A folder held open by a descriptor of its own, copied from the walk's: a thread of the read
// pool may still open entries in it after the walk has gone on and closed the walk's.
class CHeldFolder {
public:
    explicit CHeldFolder(int fd) : fd_(::fcntl(fd, F_DUPFD_CLOEXEC, 0)) {}
    CHeldFolder(const CHeldFolder&) = delete;
    CHeldFolder& operator=(const CHeldFolder&) = delete;
    ~CHeldFolder() {
        if (fd_ >= 0)
            ::close(fd_);
    }

    // -1 when no descriptor was to be had.
    int Fd() const { return fd_; }

private:
    int fd_;
};
