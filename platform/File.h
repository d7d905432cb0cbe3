#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// A regular file opened by path, read and written at explicit offsets. Opening never blocks
// (a FIFO or device named like a track is refused) and entries that are not regular files are
// told apart from files that cannot be opened. A link on the way is followed only when it is
// the user's or root's (platform/SafePath.h): one of another user's is no file here.
class CFile {
public:
    enum class EMode { Read, ReadWrite };
    enum class EOpenResult { Opened, CannotOpen, NotRegular };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile();

    EOpenResult Open(const std::string& path, EMode mode);
    // Opens `name` in the open directory `directoryFd`: a walk opens each file by its name in
    // the folder it is reading instead of looking its whole path up again.
    EOpenResult OpenAt(int directoryFd, const std::string& name, EMode mode);
    // Opens the entry `name` of the open folder `directoryFd` itself, never through a link: a
    // link there is CannotOpen with errno ELOOP. For a file about to be replaced by its name.
    EOpenResult OpenEntry(int directoryFd, const std::string& name, EMode mode);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    std::int64_t Size() const { return size_; }
    // How many names the file has; a file with several is rewritten in place or not at all.
    std::uint64_t Links() const { return links_; }
    int Descriptor() const { return fd_; }

    // Asks the system to start reading a range now, without waiting, so that a later read
    // finds it in memory.
    void WillNeed(std::int64_t offset, std::int64_t length) const;
    // Whether a range of at most 128 bytes can be read without waiting for the disk; nullopt
    // where the file system cannot say (a memory file system, for one).
    std::optional<bool> InMemory(std::int64_t offset, std::size_t length) const;
    // Reads up to `count` bytes; returns how many were read, or -1 on a read error.
    std::ptrdiff_t ReadAt(std::int64_t offset, void* buffer, std::size_t count) const;
    // Writes all `count` bytes or reports failure.
    bool WriteAt(std::int64_t offset, const void* buffer, std::size_t count);
    bool Truncate(std::int64_t length);

private:
    static EOpenResult WhyNotOpened(int directoryFd, const std::string& name);
    EOpenResult Take(int fd);

    int fd_ = -1;
    std::int64_t size_ = 0;
    std::uint64_t links_ = 0;
};
