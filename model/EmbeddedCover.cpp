#include "model/EmbeddedCover.h"

#include "model/Id3v2Layout.h"
#include "model/Id3v2Picture.h"
#include "model/Id3v2Tag.h"
#include "platform/File.h"

#include <array>

std::optional<SEmbeddedCover> SEmbeddedCover::Read(const std::string& path) {
    CFile file;
    if (file.Open(path, CFile::EMode::Read) != CFile::EOpenResult::Opened)
        return std::nullopt;
    std::array<std::uint8_t, CId3v2Tag::kHeaderSize> head{};
    if (file.ReadAt(0, head.data(), head.size()) != static_cast<std::ptrdiff_t>(head.size()))
        return std::nullopt;
    // A 2.4 footer comes after the size the header declares.
    const std::size_t declared = CId3v2Tag::DeclaredLength(head);
    const std::size_t length = declared + (head[3] == 4 && (head[5] & 0x10) != 0 ? 10 : 0);
    if (declared == 0 || length > kMaxTagSize || static_cast<std::int64_t>(length) > file.Size())
        return std::nullopt;
    std::vector<std::uint8_t> tag(length);
    if (file.ReadAt(0, tag.data(), length) != static_cast<std::ptrdiff_t>(length))
        return std::nullopt;
    CId3v2Layout layout;
    if (layout.Parse(tag) != STagWriteResult::EReason::None)
        return std::nullopt;
    const auto covers = CId3v2Picture::Covers(tag, layout);
    if (covers.empty())
        return std::nullopt;
    const CId3v2Layout::SFrame& frame = layout.Frames()[covers.front()];
    std::vector<std::uint8_t> restored;
    const auto data = CId3v2Layout::FrameData(std::span(tag).subspan(frame.offset, frame.size),
                                              layout.Version(), restored);
    const auto picture = data ? CId3v2Picture::Parse(*data, layout.Version()) : std::nullopt;
    if (!picture)
        return std::nullopt;
    return SEmbeddedCover{{picture->bytes.begin(), picture->bytes.end()},
                          picture->image,
                          picture->format,
                          picture->type};
}
