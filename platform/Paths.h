#pragma once

#include <string>

// Where the program keeps and finds things on this machine. Folders come without a trailing
// "/", except the root itself.
class CPaths {
public:
    // $QUAVERO_PROFILE when set, else quavero/quavero.ini under the user's configuration folder
    // ($XDG_CONFIG_HOME when absolute, else ~/.config).
    static std::string ProfilePath();
    // The user's music folder as the desktop names it (XDG_MUSIC_DIR in user-dirs.dirs) when it
    // exists, else ~/Music when it exists, else empty: the user is asked for a folder rather
    // than the whole home folder walked.
    static std::string MusicFolder();
    // The temporary folder ($TMPDIR when set), "/tmp" if even that cannot be found.
    static std::string TempDirectory();
    // A folder of the user's own that nobody else may enter, for files others must not find or
    // plant at a name they can guess (the playlist): $XDG_RUNTIME_DIR/quavero, else quavero-UID
    // in the temporary folder, made with mode 0700. A folder at that name that is not the
    // user's own with that mode is not used; a new one of a name nobody can guess serves this
    // process instead. Empty when no folder can be made at all.
    static std::string PrivateFolder();
    // The program's folder in the user's cache: $XDG_CACHE_HOME/quavero when XDG_CACHE_HOME is
    // absolute, else ~/.cache/quavero; with `make`, made mode 0700 (with any folder missing
    // above it) when missing. Empty unless it is a folder, not a link to one, of the user's own
    // that nobody else may write: what lies in it is read back as the user's own.
    static std::string CacheFolder(bool make);
};
