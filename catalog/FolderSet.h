#pragma once

#include "model/SnapshotExtras.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class CMp3File;

// The folders a catalog of one directory knows, each once: those of its records, with each of
// their parents up to the directory, and those without a record that its walk entered. Names
// are relative to the directory ("" is the directory itself) and are views of the records' and
// the walk's own texts, which must outlive the set.
class CFolderSet {
public:
    // The records of one folder, which a walk gives one after the other.
    struct SRun {
        std::string_view folder;
        std::uint32_t begin;
        std::uint32_t end;
    };

    // `base` ends in "/"; `records` are in walk order.
    CFolderSet(std::string_view base, std::span<CMp3File* const> records,
               const CSnapshotExtras::SWalk& walk);

    // In the order first met.
    const std::vector<std::string_view>& Folders() const { return folders_; }
    const std::vector<SRun>& Runs() const { return runs_; }
    static constexpr std::uint32_t kNone = UINT32_MAX;

    bool Contains(std::string_view folder) const { return Find(folder) != kNone; }
    // The folder's number, its place in Folders(), or kNone.
    std::uint32_t Find(std::string_view folder) const;
    // The run of the folder's records; null for a folder without one.
    const SRun* RunOf(std::string_view folder) const;
    // Its known subfolders, one level down.
    std::vector<std::string_view> Children(std::string_view folder) const;

private:
    void Add(std::string_view folder, std::uint32_t run);
    void Place(std::uint32_t folder);

    // A catalog of a million tracks knows a hundred thousand folders: these are kept in flat
    // arrays, with an open-addressing index of their numbers, at most half full.
    std::vector<std::string_view> folders_;
    std::vector<std::uint32_t> runOf_; // by folder: its run, or kNone
    std::vector<SRun> runs_;
    std::vector<std::uint32_t> index_;
    static constexpr int kCallsBeforeSorting = 8;

    mutable std::vector<std::string_view> sorted_; // made when Children is called often
    mutable int calls_ = 0;
};
