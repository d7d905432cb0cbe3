#include "platform/Paths.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMusicVariable = "XDG_MUSIC_DIR";

std::string Environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// `tail` is empty or starts with "/".
std::string Below(const std::string& folder, std::string_view tail) {
    if (folder == "/" && !tail.empty())
        return std::string(tail);
    return folder + std::string(tail);
}

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (home.empty()) {
        const passwd* user = ::getpwuid(::getuid());
        home = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/";
    }
    return WithoutTrailingSlash(home);
}

std::string ConfigFolder() {
    const std::string config = Environment("XDG_CONFIG_HOME");
    if (!config.empty() && config.front() == '/')
        return WithoutTrailingSlash(config);
    return Below(HomeFolder(), "/.config");
}

// The value of a shell assignment as user-dirs.dirs writes it: double-quoted with backslash
// escapes, or a bare word.
std::string ShellWord(std::string_view text) {
    std::string word;
    if (text.empty() || text.front() != '"') {
        const std::size_t end = text.find_first_of(" \t#");
        return std::string(text.substr(0, end));
    }
    for (std::size_t i = 1; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        word += text[i];
    }
    return word;
}

// "$HOME/..." and "${HOME}/..." are relative to the home folder; anything else must be absolute.
std::string ExpandHome(const std::string& value) {
    for (const std::string_view prefix : {"$HOME", "${HOME}"}) {
        if (value.starts_with(prefix) &&
            (value.size() == prefix.size() || value[prefix.size()] == '/'))
            return Below(HomeFolder(), std::string_view(value).substr(prefix.size()));
    }
    return value.starts_with('/') ? value : "";
}

// Like sourcing the file: the last assignment wins over earlier ones and the environment.
std::string UserMusicDir() {
    std::string music = ExpandHome(Environment(std::string(kMusicVariable)));
    std::ifstream file(ConfigFolder() + "/user-dirs.dirs");
    std::string line;
    while (std::getline(file, line)) {
        std::string_view text = line;
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        if (!text.starts_with(kMusicVariable) ||
            !text.substr(kMusicVariable.size()).starts_with('='))
            continue;
        const std::string value = ExpandHome(ShellWord(text.substr(kMusicVariable.size() + 1)));
        if (!value.empty())
            music = value;
    }
    return WithoutTrailingSlash(music);
}

// Made if missing; then it must be a folder (not a link to one) of this user's that nobody else
// may enter, or someone else could read or replace what is put in it.
bool MakePrivateFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

// Like `mkdir -p` with every folder made 0700, as the cache's own folders are.
bool MakeFolders(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST)
        return true;
    const std::size_t slash = folder.rfind('/');
    if (errno != ENOENT || slash == 0 || slash == std::string::npos)
        return false;
    return MakeFolders(folder.substr(0, slash)) &&
           (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST);
}

// A folder of a name nobody can guess, made once for the process.
std::string UnguessableFolder(const std::string& stem) {
    static const std::string folder = [&stem] {
        std::string name = stem + "-XXXXXX";
        return ::mkdtemp(name.data()) != nullptr ? name : std::string();
    }();
    return folder;
}

} // namespace

std::string CPaths::ProfilePath() {
    std::string profile = Environment("QUAVERO_PROFILE");
    if (!profile.empty())
        return profile;
    return ConfigFolder() + "/quavero/quavero.ini";
}

// A folder named but never made would open as nothing, and the window would start empty.
std::string CPaths::MusicFolder() {
    for (const std::string& folder : {UserMusicDir(), Below(HomeFolder(), "/Music")}) {
        std::error_code error;
        if (!folder.empty() && fs::is_directory(folder, error))
            return folder;
    }
    return {};
}

std::string CPaths::TempDirectory() {
    std::error_code error;
    const fs::path folder = fs::temp_directory_path(error);
    if (error || folder.empty())
        return "/tmp";
    return WithoutTrailingSlash(folder.string());
}

std::string CPaths::PrivateFolder() {
    const std::string runtime = Environment("XDG_RUNTIME_DIR");
    if (runtime.starts_with('/')) {
        std::string folder = Below(WithoutTrailingSlash(runtime), "/quavero");
        if (MakePrivateFolder(folder))
            return folder;
    }
    const std::string stem = Below(TempDirectory(), "/quavero-" + std::to_string(::geteuid()));
    return MakePrivateFolder(stem) ? stem : UnguessableFolder(stem);
}

// Others may read the folder if the user lets them; they may not put files in it.
std::string CPaths::CacheFolder(bool make) {
    const std::string cache = Environment("XDG_CACHE_HOME");
    std::string folder =
        Below(cache.starts_with('/') ? WithoutTrailingSlash(cache) : Below(HomeFolder(), "/.cache"),
              "/quavero");
    if (make && !MakeFolders(folder))
        return {};
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & 022) != 0)
        return {};
    return folder;
}
