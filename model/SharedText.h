#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>
#include <utility>

// An unchanging text shared by its owners through one pointer: the folder of a track, which
// every track of that folder holds. Half the size of a shared string pointer in each record, and
// one heap block a text instead of two. The count is atomic, as records are read on several
// threads.
class CSharedText {
public:
    CSharedText() = default;
    explicit CSharedText(std::string_view text);
    CSharedText(const CSharedText& other) noexcept : head_(other.head_) { Own(); }
    CSharedText(CSharedText&& other) noexcept : head_(std::exchange(other.head_, nullptr)) {}
    CSharedText& operator=(const CSharedText& other) noexcept {
        CSharedText(other).Swap(*this);
        return *this;
    }
    CSharedText& operator=(CSharedText&& other) noexcept {
        CSharedText(std::move(other)).Swap(*this);
        return *this;
    }
    ~CSharedText() { Disown(); }

    std::string_view View() const {
        return head_ != nullptr ? std::string_view(Text(), head_->size) : std::string_view();
    }
    void Swap(CSharedText& other) noexcept { std::swap(head_, other.head_); }

private:
    // The text's bytes follow the head in the same block.
    struct SHead {
        std::atomic<std::uint32_t> owners;
        std::uint32_t size;
    };

    const char* Text() const { return reinterpret_cast<const char*>(head_ + 1); }
    void Own() const {
        if (head_ != nullptr)
            head_->owners.fetch_add(1, std::memory_order_relaxed);
    }
    void Disown() noexcept;

    SHead* head_ = nullptr;
};
