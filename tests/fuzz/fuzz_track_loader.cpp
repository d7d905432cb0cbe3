// Arbitrary bytes as an MP3 file: the loader must never crash, hang or read out of bounds,
// and a tag written back must leave the bytes before it untouched.
#include "model/Mp3File.h"
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
    for (int field = 0; field <= 15; ++field)
        (void)track.GetFieldText(static_cast<EFieldId>(field));
    track.SetTitle(std::string(track.Title()) + "x");
    if (!track.WriteTag().Written())
        std::abort();
    CMp3File back;
    if (!back.Load(FuzzDirectory(), "input.mp3", reporter) || !back.HasTag())
        std::abort();
    return 0;
}
