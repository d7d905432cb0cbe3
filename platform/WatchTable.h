#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The folders under watch as a tree of names in flat arrays. A folder is its parent's number and
// its own name in one pool of bytes (the root's name is its whole path), so that the hundred
// thousand folders of a million tracks take a few megabytes, not a string and two hash nodes
// each. Watch descriptors lead to folders through an array indexed by descriptor (the system
// gives them out small and in turn), names through an open-addressing index of (parent, name).
//
// Folders are never removed one by one: one the catalog no longer knows keeps its number, and is
// known again when it comes back; Reset empties the table. Make may move the arrays; the names
// and parents may be read by another thread while no folder is made.
class CWatchTable {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // Empties the table; its root, folder 0, is named by its whole path.
    void Reset(std::string_view root);
    bool Empty() const { return folders_.empty(); }
    std::size_t Size() const { return folders_.size(); }
    std::string_view Root() const { return Name(0); }

    // The folder by its path from the root ("" the root itself, "a/b"), made with each folder
    // above it where missing.
    std::uint32_t Make(std::string_view relative);
    // The folder below `parent` by that name, or kNone.
    std::uint32_t Child(std::uint32_t parent, std::string_view name) const;
    std::uint32_t Parent(std::uint32_t folder) const { return folders_[folder].parent; }
    std::string_view Name(std::uint32_t folder) const;
    // Its whole path, from the root's.
    std::string Path(std::uint32_t folder) const;
    void AppendPath(std::uint32_t folder, std::string& out) const;
    // Whether `folder` is `top` or lies below it.
    bool Within(std::uint32_t folder, std::uint32_t top) const;

    // The folder's watch descriptor, or -1.
    int Watch(std::uint32_t folder) const { return folders_[folder].wd; }
    // The folder of a descriptor, or kNone.
    std::uint32_t FolderOf(int wd) const;
    // False, with nothing changed, where the descriptor is another folder's already: the system
    // gives one descriptor to one folder reached by two paths.
    bool SetWatch(std::uint32_t folder, int wd);
    // Forgets the folder's watch; its descriptor, or -1 when it had none.
    int DropWatch(std::uint32_t folder);
    std::size_t WatchCount() const { return watches_; }

    // Whether the catalog knows the folder: those of the last gathering of its folders.
    bool Known(std::uint32_t folder) const { return (folders_[folder].flags & kKnown) != 0; }
    void SetKnown(std::uint32_t folder, bool known);
    // A gathering marks each folder it meets; the marks are cleared before it.
    bool Seen(std::uint32_t folder) const { return (folders_[folder].flags & kSeen) != 0; }
    void SetSeen(std::uint32_t folder) { folders_[folder].flags |= kSeen; }
    void ClearSeen();
    // Whether the folder lies on a network share mounted below the root: looked at, not watched.
    bool Polled(std::uint32_t folder) const { return (folders_[folder].flags & kPolled) != 0; }
    void SetPolled(std::uint32_t folder) { folders_[folder].flags |= kPolled; }

    // The bytes its arrays hold, reserved ones included.
    std::size_t Bytes() const;

private:
    static constexpr std::uint8_t kKnown = 1;
    static constexpr std::uint8_t kSeen = 2;
    static constexpr std::uint8_t kPolled = 4;

    // 16 bytes: a name is at most a path's length, which the system keeps below 64 KB.
    struct SFolder {
        std::uint32_t parent;
        std::uint32_t nameAt;
        std::uint16_t nameSize;
        std::uint8_t flags;
        std::int32_t wd;
    };

    std::uint32_t Add(std::uint32_t parent, std::string_view name);
    std::size_t Slot(std::uint32_t parent, std::string_view name) const;
    void Place(std::uint32_t folder);

    std::vector<SFolder> folders_;
    std::vector<char> names_;
    std::vector<std::uint32_t> index_; // at most half full
    std::vector<std::uint32_t> byWd_;
    std::size_t watches_ = 0;
};
