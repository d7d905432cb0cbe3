#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string_view>

// The texts of one track in a single block: the ends of the texts, then their bytes one after
// the other. A hundred thousand tracks then cost a hundred thousand small blocks, not a million
// strings of 32 bytes each plus their own blocks.
class CTrackTexts {
public:
    enum class ESlot : std::size_t {
        FileName,
        Title,
        Artist,
        Album,
        Year,
        Comment,
        VersionLayer,
        Bitrate,
        Frequency,
        Mode,
    };
    static constexpr std::size_t kCount = 10;
    using Values = std::array<std::string_view, kCount>;

    CTrackTexts() = default;
    CTrackTexts(const CTrackTexts& other) { Assign(other.All()); }
    CTrackTexts& operator=(const CTrackTexts& other);
    CTrackTexts(CTrackTexts&&) noexcept = default;
    CTrackTexts& operator=(CTrackTexts&&) noexcept = default;
    ~CTrackTexts() = default;

    std::string_view Get(ESlot slot) const;
    Values All() const;
    // `values` may point into this block.
    void Assign(const Values& values);
    void Set(ESlot slot, std::string_view value);

private:
    std::unique_ptr<char[]> block_; // null while every text is empty
};
