#include "bench/SnapshotFloor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The byte layout: little-endian integers; a string is its length, then its bytes. The length
// is one byte below 0xFF; else 0xFF and 16 bits below 0xFFFF; else 0xFF, 0xFFFF and 32 bits.
class CCursor {
public:
    explicit CCursor(std::string_view bytes) : bytes_(bytes) {}

    bool Byte(std::uint8_t& value) {
        if (at_ >= bytes_.size())
            return false;
        value = static_cast<std::uint8_t>(bytes_[at_++]);
        return true;
    }
    bool Int32(std::int32_t& value) {
        std::uint32_t raw = 0;
        if (!Unsigned(4, raw))
            return false;
        value = static_cast<std::int32_t>(raw);
        return true;
    }
    bool String(std::string_view& text) {
        std::uint32_t length = 0;
        if (!Unsigned(1, length))
            return false;
        if (length == 0xFF && !Unsigned(2, length))
            return false;
        if (length == 0xFFFF && !Unsigned(4, length))
            return false;
        if (length > bytes_.size() - at_)
            return false;
        text = bytes_.substr(at_, length);
        at_ += length;
        return true;
    }

private:
    bool Unsigned(std::size_t size, std::uint32_t& value) {
        if (bytes_.size() - at_ < size)
            return false;
        value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= std::uint32_t{static_cast<std::uint8_t>(bytes_[at_ + i])} << (8 * i);
        at_ += size;
        return true;
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
};

// A record's fields in the order they are stored.
bool ParseRecord(CCursor& in, CSnapshotFloor::SRecord& r) {
    return in.String(r.fileName) && in.String(r.title) && in.String(r.directory) &&
           in.String(r.artist) && in.String(r.album) && in.String(r.comment) && in.Byte(r.genre) &&
           in.Int32(r.sizeK) && in.Int32(r.duration) && in.String(r.bitrate) &&
           in.String(r.frequency) && in.String(r.versionLayer) && in.String(r.mode) &&
           in.String(r.year);
}

} // namespace

bool CSnapshotFloor::Read(const std::string& path, std::string& bytes,
                          std::vector<SRecord>& records) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    bytes.resize(static_cast<std::size_t>(st.st_size));
    const bool read = ::read(fd, bytes.data(), bytes.size()) == st.st_size;
    ::close(fd);
    return read && Parse(bytes, records);
}

// The file begins with its magic text and the number of records.
bool CSnapshotFloor::Parse(std::string_view bytes, std::vector<SRecord>& records) {
    CCursor in(bytes);
    std::string_view magic;
    std::int32_t count = 0;
    if (!in.String(magic) || !in.Int32(count) || count < 0)
        return false;
    records.resize(static_cast<std::size_t>(count));
    for (SRecord& record : records)
        if (!ParseRecord(in, record))
            return false;
    return true;
}
