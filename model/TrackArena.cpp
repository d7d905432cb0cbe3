#include "model/TrackArena.h"

#include "model/Mp3File.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace {

// One huge page of the usual size; also the alignment that lets the system use one for it.
constexpr std::size_t kBlockBytes = std::size_t{2} << 20;
constexpr std::size_t kPerBlock = kBlockBytes / sizeof(CMp3File);

} // namespace

void CTrackArena::SFree::operator()(void* block) const {
    std::free(block);
}

CTrackArena::~CTrackArena() {
    while (size_ > 0)
        Pop();
}

void* CTrackArena::Slot(std::size_t index) const {
    auto* block = static_cast<unsigned char*>(blocks_[index / kPerBlock].get());
    return block + (index % kPerBlock) * sizeof(CMp3File);
}

CMp3File* CTrackArena::Push() {
    if (size_ == blocks_.size() * kPerBlock) {
        void* block = std::aligned_alloc(kBlockBytes, kBlockBytes);
        if (block == nullptr)
            throw std::bad_alloc();
        ::madvise(block, kBlockBytes, MADV_HUGEPAGE); // a hint; fine if refused
        blocks_.emplace_back(block);
    }
    auto* record = new (Slot(size_)) CMp3File();
    ++size_;
    return record;
}

void CTrackArena::Pop() {
    --size_;
    static_cast<CMp3File*>(Slot(size_))->~CMp3File();
}
