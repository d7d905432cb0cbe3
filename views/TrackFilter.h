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
    // The words, folded (UTF-8).
    std::vector<std::string> Words() const;
    // Every track this filter passes, `wider` passes too: each of its words lies within one of
    // these (typing on at the end of a word, or adding a word).
    bool Narrows(const CTrackFilter& wider) const;
    // The text a track is searched in: the fields' texts folded, each followed by a tab, which
    // no word holds, so a word never spans two fields. A track passes when this holds every word.
    static std::string FoldedTexts(const CMp3File& track, const std::vector<EFieldId>& fields);
    // The same appended to `out`; `scratch` holds a formatted field's text on the way.
    static void AppendFoldedTexts(const CMp3File& track, const std::vector<EFieldId>& fields,
                                  std::string& out, std::string& scratch);

private:
    struct SWord {
        std::string folded; // UTF-8
        bool ascii = false;
    };

    std::vector<SWord> words_;
};
