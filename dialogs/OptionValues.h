#pragma once

#include "settings/ColumnInfo.h"

#include <array>
#include <string>

class CAppSettings;

// What the options sheet edits: copies of the settings and of the track list's column records.
// Nothing reaches the settings or the list before ApplyTo.
struct SOptionValues {
    using ColumnArray = std::array<CColumnInfo, kFieldCount>;

    // `columns` in the list's own order, the copies made well-formed as the list reads them.
    static SOptionValues From(const CAppSettings& settings, const ColumnArray& columns);
    // Orders renumbered from 1 in the order the list shows the columns, an alignment the list
    // does not know made left, any nonzero displayed value 1.
    static void MakeWellFormed(ColumnArray& columns);
    // Every value, and every field of each column copy into the record of the same position.
    void ApplyTo(CAppSettings& settings, ColumnArray& columns) const;

    int fullRowSelection = 0;
    int doubleClickAction = 0;
    ColumnArray columns;
    std::string favoriteAddresses;
    std::string commandPlay;
    std::string commandEnqueue;
    int maxRow = 0;
    int useCachedCatalog = 0;
    int minimizeToSystray = 0;
    int exactVbrTime = 0;
    int readId3v2 = 0;
    int writeId3v2 = 0;
    int checkForChanges = 0;
    int pollSeconds = 0;
    int groupByAlbumArtist = 0;
    int detectCompilations = 0;
    std::string ignoredArticles;
    int treeCovers = 1;
};
