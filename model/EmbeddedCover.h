#pragma once

#include "model/CoverSource.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The cover in a track's ID3v2 tag (see CId3v2Picture), read from its file. Only the tag is
// read, and only a tag of kMaxTagSize at most: a larger one is no tag of a music file.
struct SEmbeddedCover {
    std::vector<std::uint8_t> bytes;
    SCoverSource::EImage image = SCoverSource::EImage::Unknown; // as the frame names it
    std::string format;                                         // the MIME type or 2.2 format
    std::uint8_t type = 0;                                      // the picture type

    static constexpr std::size_t kMaxTagSize = std::size_t{32} * 1024 * 1024;

    // None when the file has no cover, or no tag that can be read to its last frame.
    static std::optional<SEmbeddedCover> Read(const std::string& path);
};
