#pragma once

#include <string>
#include <string_view>

// Replaces a file's whole content at once: the bytes go to a new file beside it, which is then
// renamed over it. A reader sees the old file or the new one, never half of one, and a failed
// write leaves the old file as it was. A link is followed: its target is replaced. The new file
// takes the old one's mode, and its owner and group where the process may give them.
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
    };

    static EResult Replace(const std::string& path, std::string_view bytes, SOptions options);
};
