#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Groups in order of first appearance, found by exact (byte) name. Past a handful of groups a
// hash index finds them, so filing N tracks stays linear however many groups there are; the
// many small lists (the artists of one album) stay a plain scan and cost no index.
template <class Group>
class TGroupList {
public:
    Group& FindOrAdd(std::string_view name) {
        // Tracks come album by album, so the group of the previous track is the likeliest.
        if (last_ != nullptr && last_->name == name)
            return *last_;
        if (Group* found = Find(name))
            return *(last_ = found);
        auto group = std::make_unique<Group>(std::string(name));
        // The allocator's smallest block holds three tracks: a group starts with them, and a
        // dozen tracks then cost three growths instead of five.
        group->tracks.reserve(3);
        Group& added = *group;
        groups_.push_back(std::move(group));
        if (!index_.empty())
            index_.emplace(std::string_view(added.name), &added);
        else if (groups_.size() > kScanLimit)
            BuildIndex();
        last_ = &added;
        return added;
    }

    void Clear() {
        last_ = nullptr;
        index_.clear();
        groups_.clear();
    }

    std::size_t GetSize() const { return groups_.size(); }
    const Group& operator[](std::size_t i) const { return *groups_[i]; }
    auto begin() const { return groups_.begin(); }
    auto end() const { return groups_.end(); }

private:
    static constexpr std::size_t kScanLimit = 8;

    Group* Find(std::string_view name) const {
        if (index_.empty()) {
            for (const auto& group : groups_)
                if (group->name == name)
                    return group.get();
            return nullptr;
        }
        const auto it = index_.find(name);
        return it == index_.end() ? nullptr : it->second;
    }

    void BuildIndex() {
        index_.reserve(groups_.size() * 2);
        for (const auto& group : groups_)
            index_.emplace(std::string_view(group->name), group.get());
    }

    std::vector<std::unique_ptr<Group>> groups_;
    Group* last_ = nullptr;
    std::unordered_map<std::string_view, Group*> index_; // keys point into the groups' names
};
