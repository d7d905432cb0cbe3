#pragma once

#include "bench/RealisticTrack.h"

#include <cstddef>
#include <functional>
#include <string>

// The collection shaped like today's (see CRealisticPlanner), made of sparse files under
// `root`, with the values a correct reader gives for each file in `root`.expected.tsv beside
// it. Made once and reused: a later run with the same count finds it complete.
class CRealisticCollection {
public:
    // `credits`: every tag also has the rarer frames; `pictures`: every tag has a picture (see
    // CRealisticPlanner).
    CRealisticCollection(std::string root, std::size_t count, bool credits = false,
                         bool pictures = false);

    const std::string& Root() const { return root_; }
    std::size_t Count() const { return count_; }
    std::string ExpectedPath() const { return root_ + ".expected.tsv"; }

    // Draws the tracks again, in the order they were made, without reading the files.
    void ForEach(const std::function<void(const SRealisticTrack&)>& visit) const;
    // The texts each track keeps for itself, on average (see SRealisticTrack::OwnTextBytes).
    double OwnTextBytesPerTrack() const;
    // Drops the files' pages from memory, as CBenchCollection::DropPages does.
    void DropPages() const;

private:
    void Generate() const;

    std::string root_;
    std::size_t count_;
    bool credits_;
    bool pictures_;
};
