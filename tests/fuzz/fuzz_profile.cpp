// Arbitrary bytes as a profile, and one value written into it: reading never fails, a value
// written reads back as written, and a write that fails (a name that cannot be stored, or a
// file size limit the new text exceeds) leaves the file, and each of its names, as it was.
#include "platform/IniProfile.h"

#include "FuzzDirectory.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::string ReadAll(const std::string& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        std::abort();
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The write under a file size limit, as on a full disk; the limit goes before anything else
// runs, so that the fuzzer can still save what it finds.
bool WriteLimited(CIniProfile& profile, const std::string& section, const std::string& key,
                  const std::string& value, rlim_t limit) {
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limited{limit, old.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const bool written = profile.WriteString(section, key, value);
    ::setrlimit(RLIMIT_FSIZE, &old);
    return written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::signal(SIGXFSZ, SIG_IGN);
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    const std::string value = input.ConsumeRandomLengthString(64);
    const bool linked = input.ConsumeBool();
    const bool limited = input.ConsumeBool();
    const auto slack = input.ConsumeIntegral<std::uint8_t>();
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    const std::string path = FuzzDirectory() + "/quavero.ini";
    const std::string other = FuzzDirectory() + "/other.ini";
    ::unlink(other.c_str());
    WriteAll(path, bytes);
    if (linked && ::link(path.c_str(), other.c_str()) != 0)
        std::abort();

    CIniProfile profile(path);
    (void)profile.GetInt(section, key, 0);
    (void)profile.GetString(section, key, "");
    const bool written = limited ? WriteLimited(profile, section, key, value, bytes.size() + slack)
                                 : profile.WriteString(section, key, value);
    if (!written) {
        if (ReadAll(path) != bytes || (linked && ReadAll(other) != bytes))
            std::abort();
        return 0;
    }
    if (profile.GetString(section, key, "-") != value ||
        CIniProfile(path).GetString(section, key, "-") != value ||
        (linked && ReadAll(other) != ReadAll(path)))
        std::abort();
    return 0;
}
