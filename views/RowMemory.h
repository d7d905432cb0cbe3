#pragma once

#include <string>
#include <unordered_set>

class CListViewEx;
class CTrackTableModel;

// Where the user was in the list before the catalog was rebuilt (a refresh, a change seen on
// disk, a regroup, another mode): the selected and the focused rows, by their files, and how
// far the list was scrolled. The rows are pointers the rebuild destroys; the files' paths
// survive it.
class CRowMemory {
public:
    void Remember(const CListViewEx& list, const CTrackTableModel& model);
    bool IsEmpty() const { return !remembered_; }
    // Selects the remembered rows that are there again and focuses the focused one; the scroll
    // position comes back when the rows are those of the same node. Then forgets.
    void Restore(CListViewEx& list, const CTrackTableModel& model, bool sameNode);

private:
    std::unordered_set<std::string> selected_;
    std::string current_;
    int scroll_ = 0;
    bool remembered_ = false;
};
