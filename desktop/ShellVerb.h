#pragma once

#include <string>
#include <string_view>

// Carries out a verb on a file the way the desktop does: hands a track or a playlist to the
// user's player, or a file to the file manager, and never waits for either.
class CShellVerb {
public:
    // What the file is; it picks the default application.
    enum class EContent { Track, Playlist };
    // What came of a verb: started, or why not.
    enum class EResult {
        Started,
        NoApplication, // the desktop names no application for the content
        NoSuchVerb,    // the application has no action of that name
        NotStarted,    // the command line cannot be read, or the program did not start
    };

    // A verb containing "%f" is a command line of its own, "%f" standing for the file. Any
    // other verb goes to the default application of the content: "open" and "Play" (any case)
    // start it with the file, another verb is one of its desktop actions, by id or name.
    // `path` is raw bytes and reaches the player unchanged.
    static EResult Execute(std::string_view verb, const std::string& path, EContent content);
    // The file manager shows the file selected in its folder, where one answers for that on the
    // session bus (org.freedesktop.FileManager1); else the desktop's application for folders
    // opens the folder.
    static EResult ShowInFolder(const std::string& path);
};
