#include "catalog/FolderIdSet.h"

#include <algorithm>

namespace {

// Inodes of one folder tree are mostly near one another: the multiplication spreads them.
std::size_t Spread(std::uint64_t key, std::size_t mask) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15u) >> 32) & mask;
}

} // namespace

bool CFolderIdSet::Insert(const CFolderChain::SFolderId& id) {
    const auto [device, inode] = id;
    auto known = std::find(devices_.begin(), devices_.end(), device);
    const auto number = static_cast<std::uint64_t>(known - devices_.begin());
    if (inode == 0 || (inode >> kInodeBits) != 0 || ((number + 1) >> (64 - kInodeBits)) != 0)
        return others_.insert(id).second;
    if (known == devices_.end())
        devices_.push_back(device);
    // The device's number counts from 1, so that no key is 0.
    const std::uint64_t key = ((number + 1) << kInodeBits) | inode;
    if (!slots_.empty()) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = Spread(key, mask); slots_[slot] != 0; slot = (slot + 1) & mask)
            if (slots_[slot] == key)
                return false;
    }
    if ((count_ + 1) * 4 > slots_.size() * 3) {
        std::vector<std::uint64_t> old(std::max<std::size_t>(slots_.size() * 2, 64), 0);
        old.swap(slots_);
        for (const std::uint64_t placed : old)
            if (placed != 0)
                Place(placed);
    }
    Place(key);
    ++count_;
    return true;
}

void CFolderIdSet::Place(std::uint64_t key) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = Spread(key, mask);
    while (slots_[slot] != 0)
        slot = (slot + 1) & mask;
    slots_[slot] = key;
}
