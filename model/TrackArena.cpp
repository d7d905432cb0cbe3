#include "model/TrackArena.h"

#include "model/Mp3File.h"

#include <cstdint>
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

// Blocks are aligned to their size: a record's block starts where its address, rounded down,
// does, and a list has a block for every fifty thousand records or so.
std::size_t CTrackArena::IndexOf(const CMp3File* record) const {
    const auto address = reinterpret_cast<std::uintptr_t>(record);
    const std::uintptr_t start = address & ~std::uintptr_t{kBlockBytes - 1};
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        if (reinterpret_cast<std::uintptr_t>(blocks_[b].get()) != start)
            continue;
        const std::size_t index = b * kPerBlock + (address - start) / sizeof(CMp3File);
        return index < size_ && (address - start) % sizeof(CMp3File) == 0 ? index : size_;
    }
    return size_;
}

void CTrackArena::Pop() {
    --size_;
    static_cast<CMp3File*>(Slot(size_))->~CMp3File();
}
