#include "model/RareFields.h"

#include <cstring>
#include <utility>

namespace {

std::uint32_t ReadEnd(const char* block, std::size_t i) {
    std::uint32_t end = 0;
    std::memcpy(&end, block + 2 + i * 4, 4);
    return end;
}

} // namespace

CRareFields& CRareFields::operator=(const CRareFields& other) {
    if (this == &other)
        return *this;
    if (!other.block_) {
        block_.reset();
        return *this;
    }
    const std::size_t size = other.BlockSize();
    auto block = std::make_unique_for_overwrite<char[]>(size);
    std::memcpy(block.get(), other.block_.get(), size);
    block_ = std::move(block);
    return *this;
}

std::size_t CRareFields::BlockSize() const {
    return kHead + ReadEnd(block_.get(), kCount - 1);
}

std::string_view CRareFields::Get(ESlot slot) const {
    if (!block_)
        return {};
    const auto i = static_cast<std::size_t>(slot);
    const std::uint32_t start = i == 0 ? 0 : ReadEnd(block_.get(), i - 1);
    return {block_.get() + kHead + start, ReadEnd(block_.get(), i) - start};
}

std::uint16_t CRareFields::Disc() const {
    if (!block_)
        return 0;
    std::uint16_t disc = 0;
    std::memcpy(&disc, block_.get(), 2);
    return disc;
}

CRareFields::Values CRareFields::All() const {
    Values values;
    for (std::size_t i = 0; i < kCount; ++i)
        values[i] = Get(static_cast<ESlot>(i));
    return values;
}

// The new block is made whole before the old one goes, as the values may lie in it.
void CRareFields::Assign(const Values& values, std::uint16_t disc) {
    std::size_t total = 0;
    for (const std::string_view value : values)
        total += value.size();
    if (total == 0 && disc == 0) {
        block_.reset();
        return;
    }
    auto block = std::make_unique_for_overwrite<char[]>(kHead + total);
    std::memcpy(block.get(), &disc, 2);
    std::size_t end = 0;
    for (std::size_t i = 0; i < kCount; ++i) {
        if (!values[i].empty())
            std::memcpy(block.get() + kHead + end, values[i].data(), values[i].size());
        end += values[i].size();
        const auto stored = static_cast<std::uint32_t>(end);
        std::memcpy(block.get() + 2 + i * 4, &stored, 4);
    }
    block_ = std::move(block);
}

void CRareFields::Set(ESlot slot, std::string_view value) {
    Values values = All();
    values[static_cast<std::size_t>(slot)] = value;
    Assign(values, Disc());
}

void CRareFields::SetDisc(std::uint16_t disc) {
    Assign(All(), disc);
}
