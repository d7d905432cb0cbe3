#include "model/Playlist.h"

#include "model/Mp3File.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace {

constexpr char kFileName[] = "~playlst.m3u";
constexpr char kLineEnd[] = "\r\n";
constexpr char kHexDigits[] = "0123456789ABCDEF";

// The bytes an address may carry as they are (RFC 3986's unreserved characters and the
// separator); every other byte is percent-encoded.
constexpr bool IsPlainInUrl(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

} // namespace

std::string CPlaylist::Path() {
    const std::string folder = CPaths::PrivateFolder();
    return folder.empty() ? std::string() : folder + '/' + kFileName;
}

std::string CPlaylist::FileUrl(std::string_view path) {
    std::string url = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsPlainInUrl(byte)) {
            url += c;
            continue;
        }
        url += '%';
        url += kHexDigits[byte >> 4];
        url += kHexDigits[byte & 0xF];
    }
    return url;
}

// A line break in a path would end its line early and make a second entry of the rest, which
// the player would look for in the playlist's folder. Such a path goes as an address instead;
// players take both in an M3U list. Every other path keeps its bytes.
std::string CPlaylist::Bytes(const TrackArray& tracks) {
    std::string bytes;
    for (const CMp3File* track : tracks) {
        const std::string path = track->FullPath();
        if (path.find_first_of("\r\n") == std::string::npos)
            bytes.append(path);
        else
            bytes.append(FileUrl(path));
        bytes.append(kLineEnd);
    }
    return bytes;
}

// A player still reading the previous list sees it whole, never half rewritten.
bool CPlaylist::Write(const std::string& path, const TrackArray& tracks) {
    return !path.empty() && CAtomicFile::Replace(path, Bytes(tracks), {.mode = 0600}) ==
                                CAtomicFile::EResult::Written;
}
