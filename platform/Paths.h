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
    // exists, else ~/Music when it exists, else the home folder.
    static std::string MusicFolder();
    // The temporary folder ($TMPDIR when set), "/tmp" if even that cannot be found.
    static std::string TempDirectory();
};
