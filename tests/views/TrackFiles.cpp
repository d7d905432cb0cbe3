#include "TrackFiles.h"

#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"

#include <stdexcept>

CTrackFiles::CTrackFiles(const std::vector<STrackFields>& fields) {
    const std::string frame = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413);
    for (const STrackFields& file : fields) {
        const auto filler = static_cast<std::size_t>(file.fillerBytes);
        dir_.Write(file.name, frame + Mp3Maker::Filler(filler) +
                                  Mp3Maker::Tag(file.title, file.artist, "Album", "2001", "", 13));
        auto track = std::make_unique<CMp3File>();
        CRecordingReporter reporter;
        if (!track->Load(dir_.Path(), file.name, reporter) || !reporter.messages.empty())
            throw std::runtime_error("cannot load " + file.name);
        tracks_.push_back(std::move(track));
    }
}

TrackArray CTrackFiles::Pointers() const {
    TrackArray pointers;
    for (const auto& track : tracks_)
        pointers.push_back(track.get());
    return pointers;
}

std::vector<std::string> NamesOf(const TrackArray& tracks) {
    std::vector<std::string> names;
    for (const CMp3File* track : tracks)
        names.emplace_back(track->FileName());
    return names;
}
