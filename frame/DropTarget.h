#pragma once

#include <string>

class QMimeData;

// What a drop on the window opens: a local folder, or a track file (a name matching the file
// pattern), whose folder opens with its row selected. Paths are bytes.
struct SDropTarget {
    std::string folder;
    std::string track; // empty for a folder

    bool IsEmpty() const { return folder.empty(); }
    // The first local address the drop carries; empty when it carries none that opens.
    static SDropTarget Read(const QMimeData* data, const std::string& filePattern);
};
