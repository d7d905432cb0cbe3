#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

// Each track's searchable text, folded once, in the order of a track list: the texts lie one
// after the other in chunks of about a megabyte, a text never split over two, so a search runs
// through long stretches of plain bytes, and the texts of a million tracks cost only their
// bytes and an end offset each (no heap block per track, no doubling on growth).
class CFoldedIndex {
public:
    struct SChunk {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
        std::size_t firstTrack = 0; // the first track whose text it holds
        std::size_t base = 0;       // the offset of its first byte among all texts
    };

    void Clear();
    // Room for the ends of `tracks` texts, known in advance.
    void Reserve(std::size_t tracks) { ends_.reserve(tracks); }
    // The next track's text.
    void Append(std::string_view text);

    std::size_t Size() const { return ends_.size(); }
    // Texts are addressed by offset among all texts: track i's runs from Begin(i) to End(i).
    std::size_t Begin(std::size_t track) const { return track == 0 ? 0 : ends_[track - 1]; }
    std::size_t End(std::size_t track) const { return ends_[track]; }
    std::string_view Text(std::size_t track) const;
    const std::vector<SChunk>& Chunks() const { return chunks_; }
    // The chunk holding track's text.
    std::size_t ChunkOf(std::size_t track) const;
    // What the index holds on the heap.
    std::size_t MemoryBytes() const;

private:
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

    std::vector<SChunk> chunks_;
    std::vector<std::size_t> ends_;
};
