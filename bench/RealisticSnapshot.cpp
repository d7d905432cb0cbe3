#include "bench/RealisticSnapshot.h"

#include "bench/RealisticPlanner.h"
#include "model/ArchiveFormat.h"
#include "model/ArchiveWriter.h"
#include "model/Mp3FileList.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

void CRealisticSnapshot::Write(const std::string& directory, std::size_t count) {
    if (CMp3FileList::SnapshotRecordCount(directory) == count)
        return;
    std::filesystem::create_directories(directory);
    CArchiveWriter out;
    out.WriteString(ArchiveFormat::kMagic);
    out.WriteInt32(static_cast<std::int32_t>(count));
    CRealisticPlanner planner;
    SRealisticTrack t;
    for (std::size_t i = 0; i < count; ++i) {
        planner.Next(t);
        out.WriteString(t.fileName);
        out.WriteString(t.title);
        out.WriteString(t.folder);
        out.WriteString(t.artist);
        out.WriteString(t.album);
        out.WriteString(t.comment);
        out.WriteByte(static_cast<std::uint8_t>(t.genre));
        out.WriteInt32(static_cast<std::int32_t>(t.Size() / 1000));
        out.WriteInt32(static_cast<std::int32_t>(t.Seconds()));
        out.WriteString(std::to_string(t.ShownKilobits()) + " kbit/s");
        out.WriteString("44.1 kHz");
        out.WriteString("MPEG-1 Layer III");
        out.WriteString("Joint stereo");
        out.WriteString(t.year);
    }
    std::ofstream(directory + "/" + std::string(ArchiveFormat::kFileName), std::ios::binary)
        << out.Bytes();
}
