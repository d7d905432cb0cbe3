#pragma once

#include <string>
#include <unordered_set>

class CListViewEx;
class CTrackTableModel;

// Where the user was in the list before the catalog was rebuilt (a refresh, a change seen on
// disk, a regroup, another mode): the selected and the focused rows and the first row in sight,
// by their files, and how far the list was scrolled. The rows are pointers the rebuild
// destroys; the files' paths survive it, and files added or renamed above the user's rows move
// them down without moving the user away from them.
class CRowMemory {
public:
    void Remember(const CListViewEx& list, const CTrackTableModel& model);
    bool IsEmpty() const { return !remembered_; }
    // Selects the remembered rows that are there again and focuses the focused one. For the rows
    // of the same node the track that was first in sight comes back to the top; when it is gone,
    // or for another node, the focused (else the first selected) track is scrolled into sight;
    // without any of them the scroll position comes back for the same node. Then forgets.
    void Restore(CListViewEx& list, const CTrackTableModel& model, bool sameNode);

private:
    std::unordered_set<std::string> selected_;
    std::string current_;
    std::string top_;
    int scroll_ = 0;
    bool remembered_ = false;
};
