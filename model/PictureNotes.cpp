#include "model/PictureNotes.h"

void CPictureNotes::Push(CPictureNote note) {
    if (size_ == chunks_.size() * kChunk)
        chunks_.push_back(std::make_unique<CPictureNote[]>(kChunk));
    chunks_[size_ / kChunk][size_ % kChunk] = note;
    ++size_;
}

void CPictureNotes::Clear() {
    chunks_.clear();
    size_ = 0;
}
