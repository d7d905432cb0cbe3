#include "bench/SyntheticSnapshot.h"

#include "model/ArchiveFormat.h"
#include "model/ArchiveWriter.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

void CSyntheticSnapshot::Write(const std::string& directory, int count, int artists) {
    std::filesystem::create_directories(directory);
    CArchiveWriter out;
    out.WriteString(ArchiveFormat::kMagic);
    out.WriteInt32(count);
    for (int i = 0; i < count; ++i) {
        const int artist = i / 12 % artists;
        out.WriteString("track number " + std::to_string(i) + ".mp3");
        out.WriteString("Title of track " + std::to_string(i));
        out.WriteString("Artist " + std::to_string(artist) + "/Album " + std::to_string(i / 12));
        out.WriteString("Artist " + std::to_string(artist));
        out.WriteString("Album " + std::to_string(i / 12));
        out.WriteString("");
        out.WriteByte(static_cast<std::uint8_t>(i / 12 % 148)); // one genre per album
        out.WriteInt32(4000 + i % 3000);
        out.WriteInt32(250 + i % 200);
        out.WriteString("128 kbit/s");
        out.WriteString("44.1 kHz");
        out.WriteString("MPEG-1 Layer III");
        out.WriteString("Joint stereo");
        out.WriteString("2001");
    }
    std::ofstream(directory + "/" + std::string(ArchiveFormat::kFileName), std::ios::binary)
        << out.Bytes();
}
