#pragma once

#include "model/CoverSource.h"

#include <cstdint>

// Where a track's front cover lies in its leading ID3v2 tag, as the walk found it, in 8 bytes
// beside the record: the offset and length of the image's bytes in the file, or, where the
// picture frame's head (encoding, MIME type, picture type, description) lay beyond the bytes
// the walk read, the offset and length of the whole frame, its header included, whose head the
// reader of the cover reads first (CId3v2Picture::Locate). A tag is at most 256 MB: 30 bits
// hold any offset or length within it.
//   bits  0-29 offset | 30-59 length | 60-61 image (SCoverSource::EImage) | 62-63 kind
class CPictureNote {
public:
    // Stored in snapshots: never renumbered.
    enum class EKind : std::uint8_t {
        None = 0,
        Image = 1, // offset and length are the image's bytes
        Frame = 2, // offset and length are the picture frame's, header included
    };
    static constexpr std::uint64_t kMaxValue = (std::uint64_t{1} << 30) - 1;

    constexpr CPictureNote() = default;
    // None when a value does not fit.
    static constexpr CPictureNote Make(EKind kind, std::uint64_t offset, std::uint64_t length,
                                       SCoverSource::EImage image) {
        CPictureNote note;
        if (kind == EKind::None || offset > kMaxValue || length > kMaxValue || length == 0)
            return note;
        note.bits_ = offset | length << 30 | std::uint64_t{static_cast<std::uint8_t>(image)} << 60 |
                     std::uint64_t{static_cast<std::uint8_t>(kind)} << 62;
        return note;
    }

    constexpr EKind Kind() const { return static_cast<EKind>(bits_ >> 62); }
    constexpr std::uint64_t Offset() const { return bits_ & kMaxValue; }
    constexpr std::uint64_t Length() const { return bits_ >> 30 & kMaxValue; }
    constexpr SCoverSource::EImage Image() const {
        return static_cast<SCoverSource::EImage>(bits_ >> 60 & 3);
    }
    constexpr std::uint64_t End() const { return Offset() + Length(); }
    explicit constexpr operator bool() const { return Kind() != EKind::None; }

    friend constexpr bool operator==(const CPictureNote&, const CPictureNote&) = default;

private:
    std::uint64_t bits_ = 0;
};

static_assert(sizeof(CPictureNote) == 8);
