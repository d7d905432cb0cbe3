#pragma once

#include <cstdint>
#include <string>

// A new file that takes an existing file's place whole: made in its folder without a name where
// the file system can (else under a short hidden one), with the old file's mode, owner, group
// and extended attributes (its ACL among them; one of the user's own or the ACL that cannot be
// copied fails the replacement, one of the system's is left), filled by the caller, flushed to the
// disk and renamed over it, the naming and the rename one step that a kill cannot cut. The old file
// is untouched until the rename; a replacement that is not committed is removed, so a failure at
// any point (a full disk, a kill) leaves the old file, or the new one once renamed, and no copy
// beside it.
class CReplacementFile {
public:
    // `target`: the name of the file to replace in the open folder `folderFd` (an O_PATH
    // descriptor will do), no link; `fd` open on it. The folder must outlive this object.
    CReplacementFile(int folderFd, std::string target, int fd);
    CReplacementFile(const CReplacementFile&) = delete;
    CReplacementFile& operator=(const CReplacementFile&) = delete;
    ~CReplacementFile();

    // Makes the new file; false with errno set when the folder will not take one or the old
    // file's owner and group cannot be kept.
    bool Create();
    bool Write(const void* bytes, std::size_t count);
    // Appends `length` bytes of the old file from `offset`, copied inside the system.
    bool CopyFromTarget(std::int64_t offset, std::int64_t length);
    // Flushes, renames over the target and flushes the folder; false with errno set.
    bool Commit();

private:
    static std::string TemporaryName(int attempt);
    int NameAndRename(const std::string& byProc) const;

    int folderFd_;
    std::string target_;
    std::string name_; // of the new file, when it has one before the commit
    bool named_ = false;
    int targetFd_;
    int fd_ = -1;
    std::int64_t written_ = 0;
};
