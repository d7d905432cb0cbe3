#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

class CMp3File;

// Storage for the track records of one list, in large blocks: a hundred thousand records cost
// a few blocks instead of a hundred thousand allocations, and the memory arrives in pages the
// system can hand over in large units. Records are made and unmade in stack order, as a list
// grows at its end and shrinks from it.
class CTrackArena {
public:
    CTrackArena() = default;
    CTrackArena(const CTrackArena&) = delete;
    CTrackArena& operator=(const CTrackArena&) = delete;
    ~CTrackArena();

    CMp3File* Push();
    void Pop();
    std::size_t Size() const { return size_; }
    // The place of a record made here, in the order made; Size() for one made elsewhere.
    std::size_t IndexOf(const CMp3File* record) const;
    void Swap(CTrackArena& other) noexcept {
        blocks_.swap(other.blocks_);
        std::swap(size_, other.size_);
    }

private:
    struct SFree {
        void operator()(void* block) const;
    };

    void* Slot(std::size_t index) const;

    std::vector<std::unique_ptr<void, SFree>> blocks_;
    std::size_t size_ = 0;
};
