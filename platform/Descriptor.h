#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Whole reads and writes on an open descriptor: the system may move fewer bytes than asked or
// be interrupted by a signal, so each call loops until it is done or fails.
class CDescriptor {
public:
    // Reads up to `count` bytes at `offset`; how many were read (fewer at the end), -1 on error.
    static std::ptrdiff_t ReadAt(int fd, std::int64_t offset, void* buffer, std::size_t count);
    // Appends everything from the current position to the end to `out`; false on a read error.
    static bool ReadToEnd(int fd, std::string& out);
    // Writes all `count` bytes at `offset`, or reports failure.
    static bool WriteAt(int fd, std::int64_t offset, const void* buffer, std::size_t count);
    // Makes `bytes` the whole content of the open file, in place. The room is taken before any
    // byte changes, so that a full disk or a size limit fails with the file as it was.
    static bool Rewrite(int fd, std::string_view bytes);
};
