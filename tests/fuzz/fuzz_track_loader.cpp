// Arbitrary bytes as an MP3 file: the loader must never crash, hang or read out of bounds, and
// the tag writer must write the edit, or refuse the file and leave it as it was; a written
// file reads back with the new title and keeps every byte between its tags.
#include "model/Mp3File.h"
#include "model/TagWriter.h"
#include "platform/Reporter.h"

#include "FuzzDirectory.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class CSilentReporter : public IReporter {
public:
    void Report(std::string_view, std::string_view) override {}
};

std::string ReadAll(const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = FuzzDirectory() + "/input.mp3";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CSilentReporter reporter;
    CMp3File track;
    if (!track.Load(FuzzDirectory(), "input.mp3", reporter))
        return 0;
    if (track.Duration() < 0 || track.SizeK() < 0)
        std::abort();
    for (int field = 0; field <= kFieldCount + 1; ++field)
        (void)track.GetFieldText(static_cast<EFieldId>(field));
    const std::string title = std::string(track.Title()).substr(0, 20) + "x";
    const STagWriteResult result = CTagWriter(true).Write(track, {.title = title});
    if (result.status == STagWriteResult::EStatus::Refused) {
        if (ReadAll(path) != std::string(reinterpret_cast<const char*>(data), size))
            std::abort();
        return 0;
    }
    CMp3File back;
    if (!result.Written() || !back.Load(FuzzDirectory(), "input.mp3", reporter) || !back.HasTag() ||
        back.Title() != title)
        std::abort();
    return 0;
}
