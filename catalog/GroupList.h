#pragma once

#include "platform/Utf8.h"

#include <cstddef>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

// Groups in order of first appearance, found by name as it shows (platform/Utf8.h): a name read
// as Latin-1 from one tag and as UTF-8 from another is one group, named as it was first met. The
// groups live in the memory the list is given, which its owner drops whole after Clear(), and the
// owner sizes their arrays (catalog/CatalogGroups.h): filing a hundred thousand tracks then costs
// no allocation of its own per group or per growth. Past a
// handful of groups an open-addressing index finds them, so filing N tracks stays linear however
// many groups there are; the many small lists (the artists of one album) stay a plain scan.
template <class Group>
class TGroupList {
public:
    explicit TGroupList(std::pmr::memory_resource* memory) : memory_(memory) {}
    TGroupList(const TGroupList&) = delete;
    TGroupList& operator=(const TGroupList&) = delete;
    ~TGroupList() { Clear(); }

    Group& FindOrAdd(std::string_view name) {
        // Tracks come album by album, so the group of the previous track is the likeliest.
        if (last_ != nullptr && last_->name == name)
            return *last_;
        const std::size_t hash = index_.empty() ? 0 : CUtf8::HashShown(name);
        if (Group* found = Find(name, hash))
            return *(last_ = found);
        Group* added = std::pmr::polymorphic_allocator<Group>(memory_).template new_object<Group>(
            std::string(name), memory_);
        groups_.push_back(added);
        // Kept at most half full, so a search meets an empty slot soon.
        if (groups_.size() * 2 > index_.size() && groups_.size() > kScanLimit)
            BuildIndex();
        else if (!index_.empty())
            Place({hash, added});
        return *(last_ = added);
    }

    void Clear() {
        for (Group* group : groups_)
            std::pmr::polymorphic_allocator<Group>(memory_).delete_object(group);
        groups_.clear();
        index_.clear();
        last_ = nullptr;
    }

    std::size_t GetSize() const { return groups_.size(); }
    const Group& operator[](std::size_t i) const { return *groups_[i]; }
    auto begin() const { return groups_.begin(); }
    auto end() const { return groups_.end(); }

private:
    static constexpr std::size_t kScanLimit = 8;

    struct SSlot {
        std::size_t hash = 0;
        Group* group = nullptr;
    };

    Group* Find(std::string_view name, std::size_t hash) const {
        if (index_.empty()) {
            for (Group* group : groups_)
                if (CUtf8::SameShown(group->name, name))
                    return group;
            return nullptr;
        }
        const std::size_t mask = index_.size() - 1;
        for (std::size_t i = hash & mask; index_[i].group != nullptr; i = (i + 1) & mask)
            if (index_[i].hash == hash && CUtf8::SameShown(index_[i].group->name, name))
                return index_[i].group;
        return nullptr;
    }

    void BuildIndex() {
        std::size_t size = 16;
        while (size < groups_.size() * 4)
            size *= 2;
        index_.assign(size, SSlot{});
        for (Group* group : groups_)
            Place({CUtf8::HashShown(group->name), group});
    }

    void Place(SSlot slot) {
        const std::size_t mask = index_.size() - 1;
        std::size_t i = slot.hash & mask;
        while (index_[i].group != nullptr)
            i = (i + 1) & mask;
        index_[i] = slot;
    }

    std::pmr::memory_resource* memory_;
    std::vector<Group*> groups_;
    Group* last_ = nullptr;
    std::vector<SSlot> index_; // empty while a scan is enough; a power of two in size
};
