#pragma once

#include <cstdint>
#include <string>

// Whether the system hears of every change to a file system. inotify reports what this machine
// does; on a network file system (NFS, SMB/CIFS, and the like) or one served by a program
// (FUSE: SSHFS and others), another machine or the program changes files unseen. Told by the
// type statfs gives.
class CFileSystemKind {
public:
    // True for a type whose changes may come from elsewhere.
    static bool IsShared(std::uint64_t type);
    // The type of the file system that holds `path`, or 0 when it cannot be told.
    static std::uint64_t TypeOf(const std::string& path);
};
