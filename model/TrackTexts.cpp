#include "model/TrackTexts.h"

#include "model/TextPool.h"
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
        CopyFrom(other, nullptr);
    return *this;
}

// The block's bytes are the texts, their ends and what is known of them: a copy needs no look.
void CTrackTexts::CopyFrom(const CTrackTexts& other, CTextPool* pool) {
    char* block = nullptr;
    if (other.block_ != nullptr) {
        const std::size_t size = other.BlockSize();
        block = pool != nullptr ? pool->Allocate(size) : nullptr;
        const bool pooled = block != nullptr;
        if (!pooled)
            block = new char[size];
        std::memcpy(block, other.block_, size);
        const unsigned char head = other.Head() & ~kPooled;
        block[0] = static_cast<char>(pooled ? head | kPooled : head);
    }
    FreeHeap();
    block_ = block;
}

// Pooled texts belong to their pool: the move copies them, as a copy would.
CTrackTexts& CTrackTexts::operator=(CTrackTexts&& other) noexcept(false) {
    if (this == &other)
        return *this;
    if (other.Pooled()) {
        CopyFrom(other, nullptr);
        return *this;
    }
    FreeHeap();
    block_ = std::exchange(other.block_, nullptr);
    return *this;
}

std::size_t CTrackTexts::BlockSize() const {
    const std::size_t width = Width();
    const std::size_t total = width == 1   ? ReadEnd<std::uint8_t>(block_, kCount - 1)
                              : width == 2 ? ReadEnd<std::uint16_t>(block_, kCount - 1)
                                           : ReadEnd<std::uint32_t>(block_, kCount - 1);
    return kHead + kCount * width + total;
}

CTrackTexts::Values CTrackTexts::All() const {
    if (!block_)
        return {};
    switch (Width()) {
    case 1:
        return AllTexts<std::uint8_t>();
    case 2:
        return AllTexts<std::uint16_t>();
    default:
        return AllTexts<std::uint32_t>();
    }
}

void CTrackTexts::Assign(const Values& values, CTextPool* pool, std::uint16_t knownUtf8) {
    std::size_t total = 0;
    for (const std::string_view value : values)
        total += value.size();
    if (total == 0) {
        FreeHeap();
        block_ = nullptr;
        return;
    }
    const std::size_t width = total <= UINT8_MAX ? 1 : (total <= UINT16_MAX ? 2 : 4);
    const std::size_t size = kHead + kCount * width + total;
    char* block = pool != nullptr ? pool->Allocate(size) : nullptr;
    const bool pooled = block != nullptr;
    if (!pooled)
        block = new char[size];
    char* const bytes = width == 1   ? WriteEnds<std::uint8_t>(block, values)
                        : width == 2 ? WriteEnds<std::uint16_t>(block, values)
                                     : WriteEnds<std::uint32_t>(block, values);
    char* out = bytes;
    for (const std::string_view value : values) {
        if (!value.empty())
            std::memcpy(out, value.data(), value.size());
        out += value.size();
    }
    // The texts lie one after the other: each is valid UTF-8 exactly when all of them are as
    // one text and none begins inside a sequence (with a continuation byte). One look at the
    // whole is quicker than eleven at short texts; where some are known, the others alone.
    bool utf8 = true;
    if (knownUtf8 == 0) {
        utf8 = std::none_of(values.begin(), values.end(),
                            [](std::string_view value) {
                                return !value.empty() &&
                                       (static_cast<unsigned char>(value.front()) & 0xC0) == 0x80;
                            }) &&
               CUtf8::IsValid({bytes, total});
    } else {
        for (std::size_t i = 0; i < kCount && utf8; ++i)
            utf8 = (knownUtf8 >> i & 1U) != 0 || CUtf8::IsValid(values[i]);
    }
    block[0] = static_cast<char>(width | (pooled ? kPooled : 0) | (utf8 ? 0 : kNotUtf8));
    FreeHeap();
    block_ = block;
}

void CTrackTexts::Set(ESlot slot, std::string_view value) {
    Values values = All();
    values[static_cast<std::size_t>(slot)] = value;
    Assign(values);
}

// A block too large for the pool stays where it is.
void CTrackTexts::MoveInto(CTextPool& pool) {
    if (block_ == nullptr || Pooled())
        return;
    CTrackTexts pooled;
    pooled.CopyFrom(*this, &pool);
    if (pooled.Pooled())
        Swap(pooled); // the heap block goes with `pooled`
}

void CTrackTexts::Release(CTextPool& pool) {
    if (Pooled())
        pool.Release(block_, BlockSize());
    else
        FreeHeap();
    block_ = nullptr;
}
