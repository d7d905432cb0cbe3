#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

CTempDir::CTempDir(const std::string& parent) {
    const fs::path base = parent.empty() ? fs::temp_directory_path() : fs::path(parent);
    std::string pattern = (base / "quavero-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

CTempDir::~CTempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string CTempDir::Write(std::string_view relative, std::string_view bytes) const {
    const std::string path = *this / relative;
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::string CTempDir::MakeDir(std::string_view relative) const {
    const std::string path = *this / relative;
    fs::create_directories(path);
    return path;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
