#pragma once

#include "model/Mp3File.h"
#include "model/TrackArray.h"
#include "support/TempDir.h"

#include <memory>
#include <string>
#include <vector>

// Real track records: MP3 files written into a temporary folder and loaded from there.
struct STrackFields {
    std::string name;
    std::string title;
    std::string artist;
    int fillerBytes = 2000;
};

class CTrackFiles {
public:
    explicit CTrackFiles(const std::vector<STrackFields>& fields);

    // In the order given.
    TrackArray Pointers() const;
    CMp3File* operator[](std::size_t i) const { return tracks_.at(i).get(); }

private:
    CTempDir dir_;
    std::vector<std::unique_ptr<CMp3File>> tracks_;
};

// The file names of `tracks`, for comparing orders at a glance.
std::vector<std::string> NamesOf(const TrackArray& tracks);
