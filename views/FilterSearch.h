#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CFoldedIndex;

// One search of the filter's folded words in a CFoldedIndex, done a stretch of tracks at a time
// so that it can stop between two stretches and be dropped for a newer one. A track is found
// when its text holds every word. The first word is looked for through whole chunks of texts
// at once; only a track it lands in is looked at further.
class CFilterSearch {
public:
    using Positions = std::vector<std::uint32_t>;

    CFilterSearch() = default;
    // Looks through every track of the index.
    explicit CFilterSearch(std::vector<std::string> words);
    // Looks only at `candidates` (positions in the index, ascending): the result of a search
    // whose every word lies within one of `words`, which finds no other track.
    CFilterSearch(std::vector<std::string> words, Positions candidates);

    // Looks at the next `count` tracks (or candidates) of `index`; true once all are done.
    bool Step(const CFoldedIndex& index, std::size_t count);
    bool Done() const { return done_; }
    // The positions found so far, ascending.
    const Positions& Found() const { return found_; }
    Positions TakeFound() { return std::move(found_); }

private:
    void StepAll(const CFoldedIndex& index, std::size_t stop);
    void StepCandidates(const CFoldedIndex& index, std::size_t stop);
    bool HoldsOtherWords(const char* text, std::size_t size) const;

    std::vector<std::string> words_;
    Positions candidates_;
    bool narrowed_ = false;
    std::size_t next_ = 0; // the next track, or candidate, to look at
    Positions found_;
    bool done_ = false;
};
