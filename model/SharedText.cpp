#include "model/SharedText.h"

#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

CSharedText::CSharedText(std::string_view text) {
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("text too long to share");
    void* block = ::operator new(sizeof(SHead) + text.size());
    head_ = new (block) SHead{{1}, static_cast<std::uint32_t>(text.size())};
    if (!text.empty())
        std::memcpy(static_cast<char*>(block) + sizeof(SHead), text.data(), text.size());
}

// The last owner frees the block; the others' releases come before it.
void CSharedText::Disown() noexcept {
    if (head_ == nullptr || head_->owners.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    head_->~SHead();
    ::operator delete(head_);
}
