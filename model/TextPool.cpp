#include "model/TextPool.h"

namespace {

// Large enough that the chunks are few, and allocated apart from the heap's small blocks; a
// chunk's pages are resident only once written.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
// A larger block would leave too much of a chunk unused behind it.
constexpr std::size_t kLargestBlock = kChunkBytes / 16;

} // namespace

char* CTextPool::Allocate(std::size_t size) {
    if (size > kLargestBlock)
        return nullptr;
    if (chunks_.empty() || kChunkBytes - chunks_.back().used < size)
        chunks_.push_back({std::make_unique_for_overwrite<char[]>(kChunkBytes), 0});
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
