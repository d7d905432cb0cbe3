#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Groups in order of first appearance, found by exact (byte) name through a hash index, so
// filing N tracks stays linear however many groups there are.
template <class Group>
class TGroupList {
public:
    Group& FindOrAdd(std::string_view name) {
        if (auto it = index_.find(name); it != index_.end())
            return *it->second;
        auto group = std::make_unique<Group>(std::string(name));
        Group& added = *group;
        groups_.push_back(std::move(group));
        index_.emplace(std::string_view(added.name), &added);
        return added;
    }

    void Clear() {
        index_.clear();
        groups_.clear();
    }

    std::size_t GetSize() const { return groups_.size(); }
    const Group& operator[](std::size_t i) const { return *groups_[i]; }
    auto begin() const { return groups_.begin(); }
    auto end() const { return groups_.end(); }

private:
    std::vector<std::unique_ptr<Group>> groups_;
    std::unordered_map<std::string_view, Group*> index_; // keys point into the groups' names
};
