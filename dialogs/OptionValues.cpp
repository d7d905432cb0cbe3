#include "dialogs/OptionValues.h"

#include "settings/AppSettings.h"
#include "settings/ColumnOrder.h"

namespace {

bool KnownAlignment(EColumnAlign alignment) {
    return alignment == EColumnAlign::Left || alignment == EColumnAlign::Right ||
           alignment == EColumnAlign::Center;
}

} // namespace

// Renumbered orders show the same columns in the same places, and moving a column by one place
// always works.
void SOptionValues::MakeWellFormed(ColumnArray& columns) {
    CColumnOrder::Renumber(columns);
    for (CColumnInfo& column : columns) {
        column.displayed = column.displayed != 0 ? 1 : 0;
        if (!KnownAlignment(column.alignment))
            column.alignment = EColumnAlign::Left;
    }
}

SOptionValues SOptionValues::From(const CAppSettings& settings, const ColumnArray& columns) {
    SOptionValues values;
    values.fullRowSelection = settings.FullRowSelection;
    values.doubleClickAction = settings.DoubleClickAction;
    values.columns = columns;
    MakeWellFormed(values.columns);
    values.favoriteAddresses = settings.FavoriteAddresses;
    values.commandPlay = settings.CommandPlay;
    values.commandEnqueue = settings.CommandEnqueue;
    values.maxRow = settings.MaxRow;
    values.useCachedCatalog = settings.UseCachedCatalog;
    values.minimizeToSystray = settings.MinimizeToSystray;
    values.exactVbrTime = settings.ExactVbrTime;
    values.readId3v2 = settings.ReadId3v2;
    values.writeId3v2 = settings.WriteId3v2;
    values.checkForChanges = settings.CheckForChanges;
    values.pollSeconds = settings.PollSeconds;
    values.groupByAlbumArtist = settings.GroupByAlbumArtist;
    values.detectCompilations = settings.DetectCompilations;
    values.ignoredArticles = settings.IgnoredArticles;
    values.treeCovers = settings.TreeCovers;
    return values;
}

void SOptionValues::ApplyTo(CAppSettings& settings, ColumnArray& records) const {
    settings.FullRowSelection = fullRowSelection;
    settings.DoubleClickAction = doubleClickAction;
    records = columns;
    settings.FavoriteAddresses = favoriteAddresses;
    settings.CommandPlay = commandPlay;
    settings.CommandEnqueue = commandEnqueue;
    settings.MaxRow = maxRow;
    settings.UseCachedCatalog = useCachedCatalog;
    settings.MinimizeToSystray = minimizeToSystray;
    settings.ExactVbrTime = exactVbrTime;
    settings.ReadId3v2 = readId3v2;
    settings.WriteId3v2 = writeId3v2;
    settings.CheckForChanges = checkForChanges;
    settings.PollSeconds = pollSeconds;
    settings.GroupByAlbumArtist = groupByAlbumArtist;
    settings.DetectCompilations = detectCompilations;
    settings.IgnoredArticles = ignoredArticles;
    settings.TreeCovers = treeCovers;
}
