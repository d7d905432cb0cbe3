#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// Storage for the text blocks of one list's tracks (model/TrackTexts.h): blocks one after the
// other in large chunks, so that a hundred thousand tracks' texts cost a few allocations and no
// heap header or rounding each. As the list's records, blocks are given back from the end only;
// a block given up elsewhere stays until the pool is cleared.
class CTextPool {
public:
    CTextPool() = default;
    CTextPool(const CTextPool&) = delete;
    CTextPool& operator=(const CTextPool&) = delete;
    ~CTextPool() = default;

    // Room for a block of `size` bytes; null for a block too large to share a chunk, which its
    // owner then keeps on the heap.
    char* Allocate(std::size_t size);
    // Gives back the block at `block` of `size` bytes when it is the last one handed out.
    void Release(const char* block, std::size_t size);
    void Clear() { chunks_.clear(); }
    void Swap(CTextPool& other) noexcept { chunks_.swap(other.chunks_); }

private:
    static char* NewChunk();
    struct SFree {
        void operator()(char* bytes) const;
    };
    struct SChunk {
        std::unique_ptr<char, SFree> bytes;
        std::size_t used = 0;
    };

    std::vector<SChunk> chunks_;
};
