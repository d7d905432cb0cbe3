#pragma once

#include "model/Mp3File.h"
#include "model/TrackArray.h"

#include <cstdint>
#include <string>

// Total size and playing time of some tracks, as the status bar shows them. 64 bits: a
// collection of a few terabytes overflows 32-bit thousands of bytes.
class CTrackTotals {
public:
    explicit CTrackTotals(const TrackArray& tracks) {
        for (const CMp3File* track : tracks) {
            sizeK_ += track->SizeK();
            seconds_ += track->Duration();
        }
    }

    std::string SizeText() const { return CMp3File::FormatSize(sizeK_); }
    std::string TimeText() const { return CMp3File::FormatDuration(seconds_); }

private:
    std::int64_t sizeK_ = 0;
    std::int64_t seconds_ = 0;
};
