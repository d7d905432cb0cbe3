#pragma once

#include "model/PictureNote.h"

#include <cstddef>
#include <memory>
#include <vector>

// The picture notes of a list's records, by the record's place in its arena (CTrackArena), 8
// bytes a record: in chunks that grow and shrink at the end as the arena does, so that neither
// a copy of them all nor twice their room is ever needed.
class CPictureNotes {
public:
    void Push(CPictureNote note = {});
    void Pop() { --size_; }
    std::size_t Size() const { return size_; }
    CPictureNote At(std::size_t slot) const { return chunks_[slot / kChunk][slot % kChunk]; }
    void Set(std::size_t slot, CPictureNote note) { chunks_[slot / kChunk][slot % kChunk] = note; }
    void Clear();
    void Swap(CPictureNotes& other) noexcept {
        chunks_.swap(other.chunks_);
        std::swap(size_, other.size_);
    }

private:
    static constexpr std::size_t kChunk = 32768; // 256 KB

    std::vector<std::unique_ptr<CPictureNote[]>> chunks_;
    std::size_t size_ = 0;
};
