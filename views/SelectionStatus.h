#pragma once

#include "model/FieldIds.h"
#include "model/TrackArray.h"

#include <QString>

#include <vector>

class CMp3File;

// What the track list says about its selected rows: the status texts, and the rows as
// tab-separated text for the clipboard.
class CSelectionStatus {
public:
    struct STexts {
        QString information;
        QString count;
        QString size;
        QString time;
    };

    // "artist - title", then " - Album : album", " - year" and " [ genre ]" where they are set.
    static QString InformationText(const CMp3File& track);
    // Information for one track only; the count stays empty (its pane unchanged) for none.
    static STexts Compute(const TrackArray& selected);
    // One line per track, the fields of `fieldIds` separated by tabs, each line ending in
    // "\r\n". Texts go as they are: a tab inside a field is not escaped.
    static QString ClipboardText(const TrackArray& tracks, const std::vector<EFieldId>& fieldIds);
};
