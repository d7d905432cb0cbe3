#include "model/TrackTexts.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

template <class End>
char* WriteEnds(char* block, const CTrackTexts::Values& values) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        end += values[i].size();
        const auto narrowed = static_cast<End>(end);
        std::memcpy(block + CTrackTexts::kHead + i * sizeof(End), &narrowed, sizeof(End));
    }
    return block + CTrackTexts::kHead + values.size() * sizeof(End);
}

} // namespace

CTrackTexts& CTrackTexts::operator=(const CTrackTexts& other) {
    if (this != &other)
        Assign(other.All());
    return *this;
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
    const std::size_t width = total <= UINT8_MAX ? 1 : (total <= UINT16_MAX ? 2 : 4);
    auto block = std::make_unique_for_overwrite<char[]>(kHead + kCount * width + total);
    const bool utf8 = std::all_of(values.begin(), values.end(), CUtf8::IsValid);
    block[0] = static_cast<char>(width | (utf8 ? 0 : kNotUtf8));
    char* out = width == 1   ? WriteEnds<std::uint8_t>(block.get(), values)
                : width == 2 ? WriteEnds<std::uint16_t>(block.get(), values)
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
