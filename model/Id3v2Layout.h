#pragma once

#include "model/TagWriteResult.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// An ID3v2 tag taken apart for rewriting: where each frame lies, whole, so that a writer can
// keep the frames it does not change byte for byte. A tag is taken only when every byte of it
// is accounted for:
//   header (10) | extended header (2.3, 2.4) | frames | zero padding | footer (2.4, 10)
// and nothing in it would be changed by rewriting its neighbours: no unsynchronisation of the
// whole tag, no compressed or encrypted frame, no checksum in the extended header.
class CId3v2Layout {
public:
    struct SFrame {
        std::size_t offset = 0; // of the frame's header, from the tag's first byte
        std::size_t size = 0;   // header and body
        std::string_view id;    // three characters in 2.2, four after
    };

    // `tag` holds at least the whole tag: header, the size it declares, and the footer.
    STagWriteResult::EReason Parse(std::span<const std::uint8_t> tag);

    int Version() const { return version_; }
    bool HasFooter() const { return footer_; }
    // Header and extended header: the bytes before the first frame.
    std::size_t FramesStart() const { return framesStart_; }
    // Everything the tag takes in the file, footer included.
    std::size_t TotalSize() const { return totalSize_; }
    const std::vector<SFrame>& Frames() const { return frames_; }
    // 2.3 only: where the extended header's padding size lies (0: no extended header).
    std::size_t PaddingSizeField() const { return paddingSizeField_; }

    static std::size_t FrameHeaderSize(int version) { return version == 2 ? 6 : 10; }
    // A frame's data without what its format flags put before it, restored into `restored`
    // where the frame is unsynchronised. 2.3: group 0x20 (+1). 2.4: group 0x40 (+1), data
    // length 0x01 (+4), unsynchronised 0x02.
    static std::optional<std::span<const std::uint8_t>>
    FrameData(std::span<const std::uint8_t> frame, int version,
              std::vector<std::uint8_t>& restored);

private:
    STagWriteResult::EReason ParseExtendedHeader(std::span<const std::uint8_t> tag);
    STagWriteResult::EReason ParseFrames(std::span<const std::uint8_t> tag, std::size_t end);

    int version_ = 0;
    bool footer_ = false;
    std::size_t framesStart_ = 0;
    std::size_t totalSize_ = 0;
    std::size_t paddingSizeField_ = 0;
    std::vector<SFrame> frames_;
};
