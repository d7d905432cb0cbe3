#pragma once

#include "catalog/AddressKind.h"

#include <string>

// Rules of addresses: "*" for the favourites, or one directory. A drive is the root "/" or a
// mount point; every other directory is a folder.
class CAddress {
public:
    static constexpr const char* kFavorites = "*";

    // The favourites label becomes "*"; one trailing "/" goes, except from the root itself.
    static std::string Normalise(std::string address);
    static void Describe(const std::string& address, std::string& title, EAddressKind& kind);
    static bool IsDrive(const std::string& path);
    // The file system's label of a mounted directory, or empty when none can be found.
    static std::string VolumeLabel(const std::string& mountPoint);
    static bool DirectoryExists(const std::string& path);
    static bool FileExists(const std::string& path);
    // A path given to open: a folder stands for itself, a file for the folder that holds it.
    static std::string FolderOf(const std::string& path);
};
