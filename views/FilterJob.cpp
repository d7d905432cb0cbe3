#include "views/FilterJob.h"

#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <string>

CFilterJob::CFilterJob(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
    // A zero interval: the next slice runs as soon as the events waiting (a key) are handled.
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &CFilterJob::RunSlice);
}

void CFilterJob::SetTracks(const TrackArray* tracks, std::vector<EFieldId> fields) {
    Cancel();
    tracks_ = tracks;
    fields_ = std::move(fields);
    ForgetTexts();
}

void CFilterJob::ForgetTexts() {
    const bool wasSearching = searching_;
    const CTrackFilter filter = searched_;
    Cancel();
    timer_->stop();
    index_.Clear();
    folding_ = false;
    hasLast_ = false;
    lastFound_ = {};
    if (wasSearching)
        Search(filter);
}

void CFilterJob::Prepare() {
    if (tracks_ == nullptr || IsIndexComplete())
        return;
    folding_ = true;
    Schedule();
}

bool CFilterJob::IsIndexComplete() const {
    return tracks_ != nullptr && index_.Size() == tracks_->size();
}

bool CFilterJob::IsBusy() const {
    return searching_ || (folding_ && !IsIndexComplete());
}

void CFilterJob::Cancel() {
    searching_ = false;
    search_ = {};
    searched_ = {};
    if (!folding_ || IsIndexComplete())
        timer_->stop();
}

void CFilterJob::Search(const CTrackFilter& filter) {
    Cancel();
    if (tracks_ == nullptr)
        return;
    if (filter.IsEmpty()) {
        passing_ = *tracks_;
        Q_EMIT Found();
        return;
    }
    if (hasLast_ && filter.Narrows(lastFilter_))
        search_ = CFilterSearch(filter.Words(), lastFound_);
    else
        search_ = CFilterSearch(filter.Words());
    searched_ = filter;
    searching_ = true;
    folding_ = true;
    // A slice's worth is done at once: a small list, or a narrow result, shows without a turn
    // of the event loop.
    if (!Work())
        Schedule();
}

void CFilterJob::Schedule() {
    if (!timer_->isActive())
        timer_->start();
}

// What the result's receiver starts anew keeps the timer running.
void CFilterJob::RunSlice() {
    Work();
    if (!IsBusy())
        timer_->stop();
}

bool CFilterJob::Work() {
    if (tracks_ == nullptr)
        return true;
    if (index_.Size() > tracks_->size()) { // the list shrank without a word: start again
        ForgetTexts();
        return !IsBusy();
    }
    if (!IsIndexComplete()) {
        Fold(std::min(foldSlice_, tracks_->size() - index_.Size()));
        if (!IsIndexComplete())
            return false;
    }
    if (!searching_)
        return true;
    if (!search_.Step(index_, searchSlice_))
        return false;
    Finish();
    return true;
}

void CFilterJob::Complete() {
    while (searching_ && !Work()) {
    }
    if (!IsBusy())
        timer_->stop();
}

void CFilterJob::Fold(std::size_t count) {
    if (index_.Size() == 0)
        index_.Reserve(tracks_->size());
    const std::size_t stop = index_.Size() + count;
    std::string text;
    std::string scratch;
    for (std::size_t i = index_.Size(); i < stop; ++i) {
        text.clear();
        CTrackFilter::AppendFoldedTexts(*(*tracks_)[i], fields_, text, scratch);
        index_.Append(text);
    }
}

void CFilterJob::Finish() {
    searching_ = false;
    lastFound_ = search_.TakeFound();
    lastFilter_ = searched_;
    hasLast_ = true;
    search_ = {};
    searched_ = {};
    passing_.clear();
    passing_.reserve(lastFound_.size());
    for (const std::uint32_t position : lastFound_)
        passing_.push_back((*tracks_)[position]);
    Q_EMIT Found();
}
