#pragma once

#include "model/FieldIds.h"
#include "model/TrackArray.h"

#include <QString>

#include <string>
#include <vector>

class CMp3File;

// The filter box's words: a track passes when the texts of the shown columns, taken together,
// contain every word, without regard to case (accents count as typed). Words of plain ASCII are
// looked for in the stored bytes directly, which serve for both of the texts' encodings; only a
// word with other letters needs the texts as the window shows them.
class CTrackFilter {
public:
    CTrackFilter() = default;
    explicit CTrackFilter(const QString& text);

    bool IsEmpty() const { return words_.empty(); }
    bool Matches(const CMp3File& track, const std::vector<EFieldId>& fields) const;
    // The tracks that pass, in their order.
    TrackArray Apply(const TrackArray& tracks, const std::vector<EFieldId>& fields) const;

private:
    struct SWord {
        QString folded;    // case-folded, for the shown texts
        std::string ascii; // lower-case bytes, when the word is plain ASCII
    };

    std::vector<SWord> words_;
};
