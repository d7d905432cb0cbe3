#include "catalog/Address.h"

#include "catalog/AddressKind.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

// The mount table escapes blanks as octal ("\040"), udev's label links as hex ("\x20").
std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string rest = text.substr(i + 1, 3);
        if (text[i] == '\\' && rest.size() == 3 && rest[0] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(rest[1])) &&
            std::isxdigit(static_cast<unsigned char>(rest[2]))) {
            out += static_cast<char>(std::strtol(rest.substr(1).c_str(), nullptr, 16));
            i += 3;
        } else if (text[i] == '\\' && rest.size() == 3 && IsOctal(rest[0]) && IsOctal(rest[1]) &&
                   IsOctal(rest[2])) {
            out += static_cast<char>(std::strtol(rest.c_str(), nullptr, 8));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string MountSource(const std::string& mountPoint) {
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string id, parent, devno, root, point, rest;
        fields >> id >> parent >> devno >> root >> point;
        if (Unescape(point) != mountPoint)
            continue;
        // Optional fields end at "-", then the type and the source.
        while (fields >> rest && rest != "-") {
        }
        std::string type, source;
        fields >> type >> source;
        return Unescape(source);
    }
    return {};
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

} // namespace

std::string CAddress::Normalise(std::string address) {
    if (address == CStringTable::Get(EStringId::Favorites))
        return kFavorites;
    if (address.size() > 1 && address.back() == '/')
        address.pop_back();
    return address;
}

void CAddress::Describe(const std::string& address, std::string& title, EAddressKind& kind) {
    if (address == kFavorites) {
        title = CStringTable::Get(EStringId::Favorites);
        kind = EAddressKind::Favorites;
    } else if (IsDrive(address)) {
        const std::string label = VolumeLabel(address);
        title = (label.empty() ? "(" : label + " (") + address + ")";
        kind = EAddressKind::Drive;
    } else {
        title = address;
        kind = EAddressKind::Folder;
    }
}

bool CAddress::IsDrive(const std::string& path) {
    const std::string real = RealPath(path);
    if (real.empty())
        return false;
    if (real == "/")
        return true;
    struct stat self {};
    struct stat parent {};
    return ::stat(real.c_str(), &self) == 0 && ::stat((real + "/..").c_str(), &parent) == 0 &&
           self.st_dev != parent.st_dev;
}

std::string CAddress::VolumeLabel(const std::string& mountPoint) {
    const std::string device = RealPath(MountSource(RealPath(mountPoint)));
    if (device.empty())
        return {};
    DIR* labels = ::opendir("/dev/disk/by-label");
    if (labels == nullptr)
        return {};
    std::string label;
    while (const dirent* entry = ::readdir(labels)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && RealPath("/dev/disk/by-label/" + name) == device) {
            label = Unescape(name);
            break;
        }
    }
    ::closedir(labels);
    return label;
}

bool CAddress::DirectoryExists(const std::string& path) {
    if (path.empty())
        return false;
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr)
        return false;
    ::closedir(dir);
    return true;
}

std::string CAddress::FolderOf(const std::string& path) {
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    if (error)
        return path;
    if (absolute.size() > 1 && absolute.back() == '/')
        absolute.pop_back();
    if (DirectoryExists(absolute) || !FileExists(absolute))
        return absolute;
    const std::size_t slash = absolute.rfind('/');
    return slash == 0 ? std::string("/") : absolute.substr(0, slash);
}

bool CAddress::FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}
