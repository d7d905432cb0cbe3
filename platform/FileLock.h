#pragma once

#include <string>

// An exclusive lock that stands for one file while the object lives, so that writers in other
// processes take turns: each one re-reads, changes and replaces the file under the lock.
//
// The lock is a flock() on the file itself, opened for reading and writing, which is also how
// a file the user may not write is turned away. A writer that replaced the file by a rename
// leaves its waiters holding the old file: a lock is only kept once it is on the file that the
// path names. While the file does not exist, a lock file beside it stands in for it; whoever
// holds that lock checks that the file is still missing, and the writer that creates the file
// removes the lock file again.
class CFileLock {
public:
    explicit CFileLock(std::string path);
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    ~CFileLock();

    bool Locked() const { return fileFd_ >= 0 || lockFileFd_ >= 0; }
    // The locked file, open for reading and writing; -1 while it does not exist.
    int Descriptor() const { return fileFd_; }
    // Called once the missing file has been created under the lock.
    void FileCreated();

private:
    enum class EAttempt { Locked, Retry, Failed };

    EAttempt LockFile(int fd);
    EAttempt LockMissingFile();
    std::string LockFilePath() const;

    std::string path_;
    int fileFd_ = -1;
    int lockFileFd_ = -1;
};
