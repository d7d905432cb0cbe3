#pragma once

#include <string>
#include <string_view>

// Carries out a verb on a file the way the desktop does: hands a track or a playlist to the
// user's player and never waits for it.
class CShellVerb {
public:
    // What the file is; it picks the default application.
    enum class EContent { Track, Playlist };

    // A verb containing "%f" is a command line of its own, "%f" standing for the file. Any
    // other verb goes to the default application of the content: "open" and "Play" (any case)
    // start it with the file, another verb is one of its desktop actions, by id or name.
    // True when the player was started. `path` is raw bytes and reaches the player unchanged.
    static bool Execute(std::string_view verb, const std::string& path, EContent content);
};
