#include "bench/SnapshotFloor.h"

#include "bench/BenchCollection.h"
#include "model/ArchiveFormat.h"
#include "model/ArchiveReader.h"
#include "model/ArchiveWriter.h"

#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct SPlainRecord {
    std::string fileName, title, directory, artist, album, comment;
    std::uint8_t genre = 0;
    std::int32_t sizeK = 0, duration = 0;
    std::string bitrate, frequency, versionLayer, mode, year;
};

bool Parse(CArchiveReader& in, SPlainRecord& r) {
    return in.ReadString(r.fileName) && in.ReadString(r.title) && in.ReadString(r.directory) &&
           in.ReadString(r.artist) && in.ReadString(r.album) && in.ReadString(r.comment) &&
           in.ReadByte(r.genre) && in.ReadInt32(r.sizeK) && in.ReadInt32(r.duration) &&
           in.ReadString(r.bitrate) && in.ReadString(r.frequency) &&
           in.ReadString(r.versionLayer) && in.ReadString(r.mode) && in.ReadString(r.year);
}

} // namespace

void CSnapshotFloor::WriteSynthetic(const std::string& directory, int count, int artists) {
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

double CSnapshotFloor::FloorSeconds(const std::string& path, long& records) {
    return CBenchCollection::BestSeconds(5, [&] {
        const int fd = ::open(path.c_str(), O_RDONLY);
        struct stat st {};
        ::fstat(fd, &st);
        std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
        if (::read(fd, bytes.data(), bytes.size()) != st.st_size)
            std::perror(path.c_str());
        ::close(fd);
        CArchiveReader in(bytes);
        std::string magic;
        std::int32_t count = 0;
        in.ReadString(magic);
        in.ReadInt32(count);
        std::vector<SPlainRecord> plain(static_cast<std::size_t>(count));
        records = 0;
        for (auto& record : plain)
            records += Parse(in, record) ? 1 : 0;
    });
}
