#include "model/Playlist.h"

#include "model/Mp3File.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace {

constexpr char kFileName[] = "~playlst.m3u";
constexpr char kLineEnd[] = "\r\n";

} // namespace

std::string CPlaylist::Path() {
    std::string path = CPaths::TempDirectory();
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + kFileName;
}

std::string CPlaylist::Bytes(const TrackArray& tracks) {
    std::string bytes;
    for (const CMp3File* track : tracks)
        bytes.append(track->FullPath()).append(kLineEnd);
    return bytes;
}

// A player still reading the previous list sees it whole, never half rewritten.
bool CPlaylist::Write(const std::string& path, const TrackArray& tracks) {
    return CAtomicFile::Replace(path, Bytes(tracks), {}) == CAtomicFile::EResult::Written;
}
