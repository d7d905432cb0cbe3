#include "support/CatalogFixture.h"

#include "support/Mp3Maker.h"

std::string CCatalogFixture::Track(const std::string& relative, const std::string& artist,
                                   const std::string& album, std::uint8_t genre,
                                   std::size_t extra) {
    return dir.Write(relative, Mp3Maker::Frame(0xFB, 0x90, 0x64, 413) + Mp3Maker::Filler(extra) +
                                   Mp3Maker::Tag("Title", artist, album, "2000", "", genre));
}

std::vector<std::string> CCatalogFixture::FileNames(const CQuavDoc& doc) const {
    std::vector<std::string> names;
    for (const CMp3File* track : doc.GetTrackList().Tracks())
        names.emplace_back(track->FileName());
    return names;
}

// Paths below the temporary folder, with any doubled "/" of a snapshot's own folder folded.
std::vector<std::string> CCatalogFixture::RelativePaths(const CQuavDoc& doc) const {
    std::vector<std::string> paths;
    for (const CMp3File* track : doc.GetTrackList().Tracks()) {
        std::string path = track->FullPath().substr(dir.Path().size() + 1);
        for (auto p = path.find("//"); p != std::string::npos; p = path.find("//"))
            path.erase(p, 1);
        if (!path.empty() && path[0] == '/')
            path.erase(0, 1);
        paths.push_back(path);
    }
    return paths;
}
