#pragma once

#include "model/FieldIds.h"
#include "model/TrackArray.h"

#include <QString>

#include <string>
#include <vector>

class CMp3File;

// The filter box's words: a track passes when the texts of the shown columns, taken together,
// contain every word, without regard to case or accents ("bjork" finds "Björk", "BJÖRK" finds
// "bjork"; desktop/TextFold.h). Texts of plain ASCII are searched in their stored bytes, which
// only a word that folds to plain ASCII can be found in; other texts are folded first, field by
// field.
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
        std::string folded; // UTF-8
        bool ascii = false;
    };

    static std::string FoldedTexts(const CMp3File& track, const std::vector<EFieldId>& fields);

    std::vector<SWord> words_;
};
