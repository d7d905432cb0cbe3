#include "views/FoldedIndex.h"

#include <algorithm>
#include <cstring>

void CFoldedIndex::Clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    ends_.clear();
    ends_.shrink_to_fit();
}

// A text longer than a chunk gets a chunk of its own size.
void CFoldedIndex::Append(std::string_view text) {
    if (chunks_.empty() || chunks_.back().capacity - chunks_.back().used < text.size()) {
        const std::size_t capacity = std::max(kChunkBytes, text.size());
        const std::size_t base = chunks_.empty() ? 0 : chunks_.back().base + chunks_.back().used;
        chunks_.push_back(SChunk{std::make_unique<char[]>(capacity), capacity, 0, Size(), base});
    }
    SChunk& chunk = chunks_.back();
    if (!text.empty())
        std::memcpy(chunk.bytes.get() + chunk.used, text.data(), text.size());
    chunk.used += text.size();
    ends_.push_back(chunk.base + chunk.used);
}

std::size_t CFoldedIndex::ChunkOf(std::size_t track) const {
    const auto after =
        std::upper_bound(chunks_.begin(), chunks_.end(), track,
                         [](std::size_t t, const SChunk& chunk) { return t < chunk.firstTrack; });
    return static_cast<std::size_t>(after - chunks_.begin()) - 1;
}

std::string_view CFoldedIndex::Text(std::size_t track) const {
    const SChunk& chunk = chunks_[ChunkOf(track)];
    return {chunk.bytes.get() + (Begin(track) - chunk.base), End(track) - Begin(track)};
}

std::size_t CFoldedIndex::MemoryBytes() const {
    std::size_t bytes =
        ends_.capacity() * sizeof(std::size_t) + chunks_.capacity() * sizeof(SChunk);
    for (const SChunk& chunk : chunks_)
        bytes += chunk.capacity;
    return bytes;
}
