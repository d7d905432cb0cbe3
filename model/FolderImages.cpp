#include "model/FolderImages.h"

#include "platform/Ascii.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

bool StartsNoCase(std::string_view text, std::string_view lower) {
    if (text.size() < lower.size())
        return false;
    for (std::size_t i = 0; i < lower.size(); ++i)
        if (CAscii::Lower(text[i]) != lower[i])
            return false;
    return true;
}

} // namespace

// The stem before the extension decides the rank; "albumart" takes any stem it begins.
int CFolderImages::Rank(std::string_view name) {
    constexpr std::array<std::string_view, 4> kExtensions{".jpg", ".jpeg", ".png", ".webp"};
    constexpr std::array<std::string_view, 4> kStems{"cover", "folder", "front", "album"};
    // Every listing's entry comes here: most are told by their first letter.
    const char first = name.empty() ? '\0' : CAscii::Lower(name[0]);
    if (first != 'c' && first != 'f' && first != 'a')
        return 0;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return 0;
    const std::string_view extension = name.substr(dot);
    bool image = false;
    for (const std::string_view known : kExtensions)
        image = image || (extension.size() == known.size() && StartsNoCase(extension, known));
    if (!image)
        return 0;
    const std::string_view stem = name.substr(0, dot);
    for (std::size_t i = 0; i < kStems.size(); ++i)
        if (stem.size() == kStems[i].size() && StartsNoCase(stem, kStems[i]))
            return static_cast<int>(i) + 1;
    return StartsNoCase(stem, "albumart") ? static_cast<int>(kStems.size()) + 1 : 0;
}

SCoverSource::EImage CFolderImages::ImageOf(std::string_view name) {
    const std::string_view extension = name.substr(std::min(name.rfind('.'), name.size()));
    if (CAscii::EqualNoCase(extension, ".jpg") || CAscii::EqualNoCase(extension, ".jpeg"))
        return SCoverSource::EImage::Jpeg;
    if (CAscii::EqualNoCase(extension, ".png"))
        return SCoverSource::EImage::Png;
    if (CAscii::EqualNoCase(extension, ".webp"))
        return SCoverSource::EImage::WebP;
    return SCoverSource::EImage::Unknown;
}

bool CFolderImages::IsDiscFolder(std::string_view folder) {
    folder = Key(folder);
    if (const std::size_t slash = folder.rfind('/'); slash != std::string_view::npos)
        folder.remove_prefix(slash + 1);
    for (const std::string_view word : {"disc", "disk", "cd"}) {
        if (!StartsNoCase(folder, word))
            continue;
        std::string_view rest = folder.substr(word.size());
        if (!rest.empty() && (rest[0] == ' ' || rest[0] == '_' || rest[0] == '-'))
            rest.remove_prefix(1);
        return !rest.empty() && rest.find_first_not_of("0123456789") == std::string_view::npos;
    }
    return false;
}

// Names come in name order from a walk's listing, but in the folder's own order from others.
void CFolderImages::CChooser::Offer(std::string_view name) {
    const int rank = Rank(name);
    if (rank != 0 && (rank_ == 0 || rank < rank_ || (rank == rank_ && name < best_))) {
        rank_ = rank;
        best_ = name;
    }
}

std::string_view CFolderImages::Key(std::string_view folder) {
    while (folder.size() > 1 && folder.ends_with('/'))
        folder.remove_suffix(1);
    return folder;
}

void CFolderImages::Set(std::string_view folder, std::string_view name) {
    folder = Key(folder);
    if (name.empty()) {
        if (const auto found = images_.find(folder); found != images_.end())
            images_.erase(found);
        return;
    }
    if (const auto found = images_.find(folder); found != images_.end())
        found->second = name;
    else
        images_.emplace(folder, name);
}

const std::string* CFolderImages::Find(std::string_view folder) const {
    const auto found = images_.find(Key(folder));
    return found != images_.end() ? &found->second : nullptr;
}

std::optional<std::string> CFolderImages::ImageFor(std::string_view folder) const {
    folder = Key(folder);
    const std::string* name = Find(folder);
    if (name == nullptr && IsDiscFolder(folder)) {
        const std::size_t slash = folder.rfind('/');
        folder = slash == std::string_view::npos ? std::string_view() : folder.substr(0, slash);
        name = slash == std::string_view::npos ? nullptr : Find(folder);
    }
    if (name == nullptr)
        return std::nullopt;
    std::string path(folder == "/" ? std::string_view() : folder);
    (path += '/') += *name;
    return path;
}

void CFolderImages::DropBelow(std::string_view folder) {
    folder = Key(folder);
    // The paths that begin with the folder's lie together; "a-b" may lie between "a" and "a/b".
    for (auto it = images_.lower_bound(folder);
         it != images_.end() && it->first.starts_with(folder);) {
        const bool below =
            it->first.size() == folder.size() || it->first[folder.size()] == '/' || folder == "/";
        it = below ? images_.erase(it) : std::next(it);
    }
}

void CFolderImages::ForEach(
    const std::function<void(const std::string&, const std::string&)>& visit) const {
    for (const auto& [folder, name] : images_)
        visit(folder, name);
}
