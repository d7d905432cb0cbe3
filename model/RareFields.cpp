#include "model/RareFields.h"

#include <cstring>
#include <new>

std::string_view CRareFields::Get(ESlot slot) const {
    if (head_ == nullptr)
        return {};
    const auto i = static_cast<std::size_t>(slot);
    const std::uint32_t start = i == 0 ? 0 : head_->ends[i - 1];
    return {Text() + start, head_->ends[i] - start};
}

CRareFields::Values CRareFields::All() const {
    Values values;
    for (std::size_t i = 0; i < kCount; ++i)
        values[i] = Get(static_cast<ESlot>(i));
    return values;
}

bool CRareFields::Same(const CRareFields& other) const {
    if (head_ == other.head_)
        return true;
    if (head_ == nullptr || other.head_ == nullptr || head_->disc != other.head_->disc ||
        head_->ends != other.head_->ends)
        return false;
    return std::memcmp(Text(), other.Text(), head_->ends.back()) == 0;
}

// The new block is made whole before the old one goes, as the values may lie in it. No text
// of a tag comes near 4 GB: a frame that long is never read.
void CRareFields::Assign(const Values& values, std::uint16_t disc) {
    std::size_t total = 0;
    for (const std::string_view value : values)
        total += value.size();
    if (total == 0 && disc == 0) {
        CRareFields().Swap(*this);
        return;
    }
    void* block = ::operator new(sizeof(SHead) + total);
    auto* head = new (block) SHead{{1}, disc, {}};
    char* text = static_cast<char*>(block) + sizeof(SHead);
    std::size_t end = 0;
    for (std::size_t i = 0; i < kCount; ++i) {
        if (!values[i].empty())
            std::memcpy(text + end, values[i].data(), values[i].size());
        end += values[i].size();
        head->ends[i] = static_cast<std::uint32_t>(end);
    }
    Disown();
    head_ = head;
}

// A slot given the value it holds keeps the block, and so its sharing.
void CRareFields::Set(ESlot slot, std::string_view value) {
    if (Get(slot) == value)
        return;
    Values values = All();
    values[static_cast<std::size_t>(slot)] = value;
    Assign(values, Disc());
}

void CRareFields::SetDisc(std::uint16_t disc) {
    Assign(All(), disc);
}

// The last owner frees the block; the others' releases come before it.
void CRareFields::Disown() noexcept {
    if (head_ == nullptr || head_->owners.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    head_->~SHead();
    ::operator delete(head_);
}
