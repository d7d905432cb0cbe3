// Arbitrary bytes as a snapshot: the reader must fail cleanly, never allocate beyond what the
// bytes could hold, and what it reads must write back to a prefix-consistent snapshot.
#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"
#include "model/Mp3FileList.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CArchiveReader reader(bytes);
    CMp3FileList list;
    const bool whole = list.Serialize(reader, "/base/");
    if (list.GetSize() > size / 20)
        std::abort();
    if (!whole)
        return 0;
    CArchiveWriter writer;
    list.Serialize(writer, "/base/");
    CArchiveReader again(writer.Bytes());
    CMp3FileList back;
    if (!back.Serialize(again, "/base/") || back.GetSize() != list.GetSize())
        std::abort();
    return 0;
}
