#include "model/TextPool.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace {

// Large enough that the chunks are few, and allocated apart from the heap's small blocks: one
// large page each where the system gives them, so that filling a chunk costs one page fault,
// not five hundred.
constexpr std::size_t kChunkBytes = std::size_t{2} << 20;
// A larger block would leave too much of a chunk unused behind it.
constexpr std::size_t kLargestBlock = kChunkBytes / 16;

} // namespace

void CTextPool::SFree::operator()(char* bytes) const {
    std::free(bytes);
}

char* CTextPool::NewChunk() {
    auto* bytes = static_cast<char*>(std::aligned_alloc(kChunkBytes, kChunkBytes));
    if (bytes == nullptr)
        throw std::bad_alloc();
    ::madvise(bytes, kChunkBytes, MADV_HUGEPAGE); // a hint; fine if refused
    return bytes;
}

char* CTextPool::Allocate(std::size_t size) {
    if (size > kLargestBlock)
        return nullptr;
    if (chunks_.empty() || kChunkBytes - chunks_.back().used < size)
        chunks_.push_back({std::unique_ptr<char, SFree>(NewChunk()), 0});
    SChunk& chunk = chunks_.back();
    char* block = chunk.bytes.get() + chunk.used;
    chunk.used += size;
    return block;
}

// A chunk left empty goes; the one before it ends where its last block does.
void CTextPool::Release(const char* block, std::size_t size) {
    if (chunks_.empty())
        return;
    SChunk& chunk = chunks_.back();
    if (chunk.used < size || block != chunk.bytes.get() + chunk.used - size)
        return;
    chunk.used -= size;
    if (chunk.used == 0)
        chunks_.pop_back();
}
