#pragma once

#include <string>
#include <string_view>

// A path looked up one name at a time, each folder opened from the one before it without
// following a link, so that what is checked is what is used. A link on the way is followed only
// when it belongs to the user or to root: one that another user put in a shared folder may name
// any file of the user's, and is refused whatever it names (the rule the system applies to the
// links of sticky folders, here for every folder). At most 40 links are followed, which ends
// every loop.
class CSafePath {
public:
    enum class EResult { Found, ForeignLink, Failed };
    static constexpr int kMaxLinks = 40;

    CSafePath() = default;
    CSafePath(const CSafePath&) = delete;
    CSafePath& operator=(const CSafePath&) = delete;
    ~CSafePath();

    // Looks `path` up from `directoryFd` (AT_FDCWD for the current folder) down to the folder
    // that holds its last name and, when that name is a link, on through the link. Failed with
    // errno set when a folder on the way is missing or cannot be looked into.
    EResult Find(int directoryFd, std::string_view path);
    // What Find found: the folder (an O_PATH descriptor, usable as a folder to open names in)
    // and the last name in it, which was no link when it was looked at. The name may be missing.
    int FolderFd() const { return folder_; }
    const std::string& Name() const { return name_; }

    // Opens `path` with `flags` as Find looks it up, the last name with O_NOFOLLOW: at once when
    // no name on it is a link, else name by name. -1 with errno set when it does not open, and
    // then `foreign` says whether a link of another user's stopped it.
    static int Open(int directoryFd, const char* path, int flags, bool& foreign);

private:
    void Close();

    int folder_ = -1;
    std::string name_;
};
