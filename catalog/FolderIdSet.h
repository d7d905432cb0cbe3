#pragma once

#include "catalog/FolderChain.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

// The folders a walk has entered, by device and inode, so that none is entered twice (a link
// to a folder met before, a bind mount). A walk of a million tracks enters a hundred thousand
// folders: each is one 8-byte key in an open-addressing table, the device's number among the
// devices met in the top 16 bits and the inode below, where a node of a standard set cost 50
// bytes. An inode too large for 48 bits goes to a set of its own; the key stays exact.
class CFolderIdSet {
public:
    // False when the folder was there already.
    bool Insert(const CFolderChain::SFolderId& id);

private:
    static constexpr int kInodeBits = 48;

    void Place(std::uint64_t key);

    std::vector<dev_t> devices_;       // by their number in the keys
    std::vector<std::uint64_t> slots_; // 0: empty (no key is 0); at most three quarters full
    std::size_t count_ = 0;
    std::unordered_set<CFolderChain::SFolderId, CFolderChain::SFolderHash> others_;
};
