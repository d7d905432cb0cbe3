#pragma once

#include "model/CoverSource.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// The cover image file of each folder a walk listed, by the folder's path (no "/" at its end),
// only for the folders that have one. The names that count, in this order of preference:
// "cover", "folder", "front", "album", then "albumart" and anything after it (the names players
// leave), each with ".jpg", ".jpeg", ".png" or ".webp", in any case; of two names alike, the
// first in name order. A track without a cover of its own takes its folder's; the folder of one
// disc of an album ("CD1", "CD 2", "Disc 2", "disc2", "Disk1") takes its parent's where it has
// none of its own.
class CFolderImages {
public:
    // The name's place in the order of preference, 1 the best; 0 for a name that is no cover.
    static int Rank(std::string_view name);
    // The kind of image a file's extension names.
    static SCoverSource::EImage ImageOf(std::string_view name);
    // Whether a folder's last name is a disc's: "cd", "disc" or "disk" in any case, a space,
    // "_" or "-" or nothing, then digits.
    static bool IsDiscFolder(std::string_view folder);

    // Chooses a folder's image among the names of its listing, given one at a time.
    class CChooser {
    public:
        void Offer(std::string_view name);
        // Empty where no name counts.
        const std::string& Best() const { return best_; }

    private:
        std::string best_;
        int rank_ = 0;
    };

    // Sets the image of `folder`; an empty name drops it.
    void Set(std::string_view folder, std::string_view name);
    // The image's name in `folder` itself; null without one.
    const std::string* Find(std::string_view folder) const;
    // The full path of the image that the tracks of `folder` take: their folder's, else, for a
    // disc's folder, its parent's.
    std::optional<std::string> ImageFor(std::string_view folder) const;
    // Drops the folders at `folder` and below it.
    void DropBelow(std::string_view folder);
    void Clear() { images_.clear(); }
    std::size_t Size() const { return images_.size(); }
    // Each folder and its image's name, in the order of the folders' paths.
    void ForEach(const std::function<void(const std::string&, const std::string&)>& visit) const;

    friend bool operator==(const CFolderImages&, const CFolderImages&) = default;

private:
    static std::string_view Key(std::string_view folder);

    std::map<std::string, std::string, std::less<>> images_;
};
