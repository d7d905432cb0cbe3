#pragma once

#include "support/TempDir.h"

#include <optional>
#include <string>
#include <vector>

// A player for the desktop's shell verbs: a script that records its arguments, NUL-terminated,
// with a desktop entry whose action "Enqueue" (shown as "Add to Queue", in French "Mettre en
// file") records "--enqueue" before them, in a throw-away desktop configuration inside `dir`
// that makes it the default application for tracks, playlists and folders (as a file manager).
class CRecordingPlayer {
public:
    using Args = std::vector<std::string>;

    explicit CRecordingPlayer(const CTempDir& dir);

    // Points this process's desktop configuration at the throw-away one, with the player or
    // with no application at all. GIO reads it once per process, before its first verb.
    void UseDesktop(bool withPlayer = true) const;
    const std::string& Program() const { return program_; }
    // The player records only once the test lets it go on, so a caller that waited for it
    // would find the record already there.
    bool HasRecorded() const;
    // Lets the player go on and waits, boundedly, for what it received.
    std::optional<Args> Received() const;

private:
    const CTempDir& dir_;
    std::string program_;
};

// `text` with every `from` replaced by `to`: expected arguments and verbs name the file as "%f"
// and the player as "{player}".
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);
