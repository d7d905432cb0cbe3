#include "model/SnapshotLocation.h"

#include "model/ArchiveFormat.h"
#include "platform/Paths.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Enough of the folder's name to know it again in a listing of the cache.
constexpr std::size_t kReadableLength = 48;
constexpr std::string_view kCopyExtension = ".qvc";

// FNV-1a, 64 bits: the same name for a path on every run and every build. Not a safeguard: a
// copy names its folder inside, and two folders whose names collide only take turns.
std::uint64_t PathHash(std::string_view path) {
    constexpr std::uint64_t kOffset = 14695981039346656037ULL;
    constexpr std::uint64_t kPrime = 1099511628211ULL;
    std::uint64_t hash = kOffset;
    for (const char c : path) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kPrime;
    }
    return hash;
}

bool IsPlain(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

} // namespace

std::string CSnapshotLocation::InFolder(std::string_view base) {
    std::string path(base);
    path.append(ArchiveFormat::kFileName);
    return path;
}

bool CSnapshotLocation::HoldsNone(std::string_view base) {
    struct stat st {};
    const std::string folder(base);
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return ::lstat(InFolder(base).c_str(), &st) != 0 && errno == ENOENT;
}

// Lexical, as the address was given: a folder reached by two paths has two copies, and neither
// depends on a link that may change.
std::string CSnapshotLocation::Folder(std::string_view base) {
    std::error_code error;
    const fs::path path = fs::absolute(fs::path(base), error).lexically_normal();
    std::string folder = error ? std::string(base) : path.string();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::string CSnapshotLocation::CopyName(std::string_view folder) {
    const std::string_view last = folder.substr(folder.rfind('/') + 1);
    std::string name;
    for (const char c : last.substr(0, kReadableLength))
        name += IsPlain(c) ? c : '_';
    if (!name.empty())
        name += '-';
    constexpr std::string_view kDigits = "0123456789abcdef";
    const std::uint64_t hash = PathHash(folder);
    for (int shift = 60; shift >= 0; shift -= 4)
        name += kDigits[(hash >> shift) & 0xF];
    name.append(kCopyExtension);
    return name;
}

std::string CSnapshotLocation::InCache(std::string_view folder, bool make) {
    const std::string cache = CPaths::CacheFolder(make);
    return cache.empty() ? std::string() : cache + '/' + CopyName(folder);
}
