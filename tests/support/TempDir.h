#pragma once

#include <string>
#include <string_view>

// A fresh folder under the temporary directory, removed with everything in it at the end.
class CTempDir {
public:
    // Under `parent`, or the temporary directory when empty.
    explicit CTempDir(const std::string& parent = "");
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    ~CTempDir();

    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

    // Helpers for building trees of fixtures; parent folders are created as needed.
    std::string Write(std::string_view relative, std::string_view bytes) const;
    std::string MakeDir(std::string_view relative) const;

private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);
