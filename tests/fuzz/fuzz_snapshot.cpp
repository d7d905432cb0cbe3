// Arbitrary bytes as a snapshot, read from memory and streamed from a file: both readers must
// fail cleanly and agree, never allocate beyond what the bytes could hold, and what they read
// (the records, and the genre names and track numbers of the block after them) must write back
// to a snapshot that reads the same.
#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"
#include "model/Mp3FileList.h"

#include "FuzzDirectory.h"

namespace {

bool Same(const CMp3File& a, const CMp3File& b) {
    return a.Title() == b.Title() && a.Directory() == b.Directory() && a.Track() == b.Track() &&
           a.GenreText() == b.GenreText();
}

} // namespace

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CArchiveReader reader(bytes);
    CMp3FileList list;
    const bool whole = list.Serialize(reader, FuzzDirectory() + "/");
    if (list.GetSize() > size / 20)
        std::abort();

    FILE* file = std::fopen((FuzzDirectory() + "/mp3cache.qvc").c_str(), "wb");
    if (file == nullptr)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    CMp3FileList streamed;
    const auto result = streamed.LoadSnapshot(FuzzDirectory());
    if (streamed.GetSize() != list.GetSize() ||
        (whole && result != CMp3FileList::ELoadResult::Loaded))
        std::abort();
    for (std::size_t i = 0; i < list.GetSize(); ++i)
        if (!Same(*streamed.GetAt(i), *list.GetAt(i)))
            std::abort();
    if (!whole)
        return 0;

    CArchiveWriter writer;
    list.Serialize(writer, FuzzDirectory() + "/");
    CArchiveReader again(writer.Bytes());
    CMp3FileList back;
    if (!back.Serialize(again, FuzzDirectory() + "/") || back.GetSize() != list.GetSize())
        std::abort();
    for (std::size_t i = 0; i < list.GetSize(); ++i)
        if (!Same(*back.GetAt(i), *list.GetAt(i)))
            std::abort();
    return 0;
}
