#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Replaces a file's whole content at once: the bytes go to a new file beside it, which is then
// renamed over it. A reader sees the old file or the new one, never half of one, and a failed
// write leaves the old file as it was. The new file takes the old one's mode, and its owner and
// group where the process may give them.
//
// A symbolic link at the name is replaced itself, never its target: in a folder that others
// may write (the temporary folder, a shared music folder) a link can be planted to make the
// program overwrite a file of the user's choosing. Only a caller that asks for it, for a file
// the user keeps in a folder of their own, has the link followed, and then only a link that
// belongs to the user.
//
// The content may be given whole (`Replace`) or in pieces: `Open`, `Write` as often as needed,
// then `Commit`. An object that is destroyed before its commit leaves the old file as it was.
class CAtomicFile {
public:
    enum class EResult {
        Written,
        CannotCreate, // the folder cannot take a new file (missing, read-only, no rights)
        WriteFailed,  // writing or renaming failed; the old file is untouched
    };

    struct SOptions {
        bool createFolder = false; // make the missing folders first
        bool sync = false;         // flush to the disk before the rename
        bool followLink = false;   // replace the target of a link of the user's own
        unsigned mode = 0;         // the new file's permissions; 0 takes the old file's
    };

    CAtomicFile() = default;
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;
    ~CAtomicFile() { Abandon(); }

    static EResult Replace(const std::string& path, std::string_view bytes, SOptions options);

    // Makes the new file beside `path`; anything but Written leaves nothing behind.
    EResult Open(const std::string& path, SOptions options);
    // Appends to the new file; false once a write has failed.
    bool Write(std::string_view bytes);
    // Renames the new file over the old name when every write went through.
    EResult Commit();
    // Removes the new file; the old one stays.
    void Abandon();
    // Why the last `Open` gave CannotCreate: the system's error number (EACCES, EROFS, ...).
    int Error() const { return error_; }

private:
    std::string target_;
    std::string sibling_;
    int fd_ = -1;
    std::int64_t size_ = 0; // written so far
    bool sync_ = false;
    bool failed_ = false;
    int error_ = 0;
};
