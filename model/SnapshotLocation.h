#pragma once

#include <string>
#include <string_view>

// Where the snapshot of a folder lies. In the folder itself, as "mp3cache.qvc"; but a folder the
// user may not write, or one on a read-only medium, cannot take it, and its snapshot then goes
// to the user's cache folder as a copy named after the folder's path. A copy is read only where
// the folder holds no snapshot of its own. It has the same bytes as a snapshot in its folder
// and names that folder after its records (a section of the extras), so that a copy found under
// a name can only ever stand for the folder it was made of.
//
// `base` is the folder as the snapshot's records are relative to it, ending in "/".
class CSnapshotLocation {
public:
    static std::string InFolder(std::string_view base);
    // Whether the folder exists and holds nothing, not even a link, at the snapshot's name.
    static bool HoldsNone(std::string_view base);
    // The folder as a copy names it: absolute, lexically normal, without a trailing "/" (but
    // for the root itself).
    static std::string Folder(std::string_view base);
    // A copy's file name: the folder's last name in letters, digits, ".", "-" and "_", cut short,
    // then a hash of the whole path. One name, whatever the depth of the folder.
    static std::string CopyName(std::string_view folder);
    // Where the copy of `folder` lies; empty when the cache folder cannot be used. `make` makes
    // the cache folder where it is missing, for a copy about to be written.
    static std::string InCache(std::string_view folder, bool make);
};
