#include "model/TrackTexts.h"

#include <cstdint>
#include <cstring>

namespace {

// The block starts with one byte saying how wide its ends are: 2 bytes while the texts total
// less than 64 KiB, which every real track does, or else 4.
constexpr std::size_t kHead = 1;

template <class End>
std::size_t ReadEnd(const char* block, std::size_t i) {
    End end;
    std::memcpy(&end, block + kHead + i * sizeof(End), sizeof(End));
    return end;
}

template <class End>
char* WriteEnds(char* block, const CTrackTexts::Values& values) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        end += values[i].size();
        const auto narrowed = static_cast<End>(end);
        std::memcpy(block + kHead + i * sizeof(End), &narrowed, sizeof(End));
    }
    return block + kHead + values.size() * sizeof(End);
}

} // namespace

CTrackTexts& CTrackTexts::operator=(const CTrackTexts& other) {
    if (this != &other)
        Assign(other.All());
    return *this;
}

std::string_view CTrackTexts::Get(ESlot slot) const {
    if (!block_)
        return {};
    const auto i = static_cast<std::size_t>(slot);
    const char* block = block_.get();
    if (block[0] == 2) {
        const char* bytes = block + kHead + kCount * 2;
        const std::size_t start = i == 0 ? 0 : ReadEnd<std::uint16_t>(block, i - 1);
        return {bytes + start, ReadEnd<std::uint16_t>(block, i) - start};
    }
    const char* bytes = block + kHead + kCount * 4;
    const std::size_t start = i == 0 ? 0 : ReadEnd<std::uint32_t>(block, i - 1);
    return {bytes + start, ReadEnd<std::uint32_t>(block, i) - start};
}

CTrackTexts::Values CTrackTexts::All() const {
    Values values;
    for (std::size_t i = 0; i < kCount; ++i)
        values[i] = Get(static_cast<ESlot>(i));
    return values;
}

void CTrackTexts::Assign(const Values& values) {
    std::size_t total = 0;
    for (const std::string_view value : values)
        total += value.size();
    if (total == 0) {
        block_.reset();
        return;
    }
    const std::size_t width = total <= UINT16_MAX ? 2 : 4;
    auto block = std::make_unique_for_overwrite<char[]>(kHead + kCount * width + total);
    block[0] = static_cast<char>(width);
    char* out = width == 2 ? WriteEnds<std::uint16_t>(block.get(), values)
                           : WriteEnds<std::uint32_t>(block.get(), values);
    for (const std::string_view value : values) {
        if (!value.empty())
            std::memcpy(out, value.data(), value.size());
        out += value.size();
    }
    block_ = std::move(block);
}

void CTrackTexts::Set(ESlot slot, std::string_view value) {
    Values values = All();
    values[static_cast<std::size_t>(slot)] = value;
    Assign(values);
}
