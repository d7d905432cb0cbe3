#pragma once

#include "model/FieldIds.h"
#include "model/TrackArray.h"
#include "views/FilterSearch.h"
#include "views/FoldedIndex.h"
#include "views/TrackFilter.h"

#include <QObject>

#include <algorithm>
#include <cstddef>
#include <vector>

class QTimer;

// The filter's work on the list's tracks, done a slice at a time between the window's events
// so that typing never waits for it. The shown texts of every track are folded once
// (CFoldedIndex); each text typed is then looked for in them (CFilterSearch). A newer text
// drops the search of an older one; one that only adds to the words of the last result looks
// within that result. The work stays on the window's thread, which alone may read the tracks.
class CFilterJob : public QObject {
    Q_OBJECT
public:
    explicit CFilterJob(QObject* parent = nullptr);

    // The tracks to filter and the fields whose texts count; what was folded and found before
    // is forgotten. `tracks` must outlive the job's use of it (until the next call).
    void SetTracks(const TrackArray* tracks, std::vector<EFieldId> fields);
    // The tracks' texts changed: they are folded again when next needed.
    void ForgetTexts();
    // Starts folding the texts ahead of the first word typed.
    void Prepare();
    // Looks for `filter`'s words; Found follows when done, before this returns when the work
    // left is no more than a slice.
    void Search(const CTrackFilter& filter);
    // Does what is left of the running search at once, Found included; nothing without one.
    void Complete();
    // Drops the running search; the folded texts stay.
    void Cancel();
    // A search is running (or waits for the texts to be folded).
    bool IsSearching() const { return searching_; }
    // Texts are being folded or a search is running.
    bool IsBusy() const;
    // Tracks folded, and tracks looked at by a search, in one slice.
    void SetSlices(std::size_t fold, std::size_t search) {
        foldSlice_ = std::max<std::size_t>(fold, 1);
        searchSlice_ = std::max<std::size_t>(search, 1);
    }
    // Memory held by the folded texts.
    std::size_t IndexBytes() const { return index_.MemoryBytes(); }
    bool IsIndexComplete() const;

    // The tracks that passed the search that finished last, in the list's order, once.
    TrackArray TakePassing() { return std::move(passing_); }

Q_SIGNALS:
    // A search finished: TakePassing gives its result.
    void Found();

private:
    // One slice of work: some tracks folded, when texts are missing, then a stretch of the
    // search; true when nothing is left to do.
    bool Work();
    void RunSlice();
    void Fold(std::size_t count);
    void Finish();
    void Schedule();

    // A few milliseconds each: folding takes about a microsecond a track, a search a sixteenth.
    static constexpr std::size_t kFoldSlice = 2048;
    static constexpr std::size_t kSearchSlice = 32768;

    const TrackArray* tracks_ = nullptr;
    std::vector<EFieldId> fields_;
    CFoldedIndex index_;
    bool folding_ = false; // Prepare asked for the texts, or a search needs them
    CFilterSearch search_;
    CTrackFilter searched_; // the words of search_
    bool searching_ = false;
    // The last search that finished, which a narrower one looks within.
    CTrackFilter lastFilter_;
    CFilterSearch::Positions lastFound_;
    bool hasLast_ = false;
    TrackArray passing_;
    std::size_t foldSlice_ = kFoldSlice;
    std::size_t searchSlice_ = kSearchSlice;
    QTimer* timer_;
};
