#include "bench/RealisticFile.h"

#include <algorithm>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace {

// ID3v2 sizes: four 7-bit bytes in the header (and in 2.4 frame headers), 32 bits in 2.3.
std::string Syncsafe(std::uint32_t size) {
    return {static_cast<char>(size >> 21 & 0x7F), static_cast<char>(size >> 14 & 0x7F),
            static_cast<char>(size >> 7 & 0x7F), static_cast<char>(size & 0x7F)};
}

std::string BigEndian(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

// The code points of UTF-8 text, which the generator writes well-formed.
std::u32string CodePoints(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t point = length == 1 ? c : c & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            point = point << 6 |
                    (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        out += point;
        i += static_cast<std::size_t>(length);
    }
    return out;
}

bool IsLatin1(std::string_view text) {
    for (const char32_t c : CodePoints(text))
        if (c > 0xFF)
            return false;
    return true;
}

// Latin-1 bytes, '?' for a letter it lacks, as a tagger writing ID3v1 does.
std::string Latin1(std::string_view text) {
    std::string out;
    for (const char32_t c : CodePoints(text))
        out += c > 0xFF ? '?' : static_cast<char>(c);
    return out;
}

// UTF-16 with a byte-order mark, little-endian.
std::string Utf16(std::string_view text) {
    std::string out = "\xFF\xFE";
    const auto unit = [&out](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8 & 0xFF);
    };
    for (const char32_t c : CodePoints(text)) {
        if (c < 0x10000) {
            unit(c);
        } else {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// The encoding of a frame's texts: ISO-8859-1 (0) or UTF-16 (1) in 2.3, UTF-8 (3) in 2.4.
char Encoding(const SRealisticTrack& t, std::string_view text) {
    if (t.tagVersion == 4)
        return '\3';
    return t.latin1Texts && IsLatin1(text) ? '\0' : '\1';
}

std::string Encoded(char encoding, std::string_view text, bool terminated) {
    if (encoding == '\3')
        return std::string(text) + (terminated ? std::string(1, '\0') : "");
    if (encoding == '\0')
        return Latin1(text) + (terminated ? std::string(1, '\0') : "");
    return Utf16(text) + (terminated ? std::string(2, '\0') : "");
}

std::string FrameHeader(const SRealisticTrack& t, std::string_view id, std::uint32_t size) {
    return std::string(id) + (t.tagVersion == 4 ? Syncsafe(size) : BigEndian(size)) +
           std::string(2, '\0');
}

std::string TextFrame(const SRealisticTrack& t, std::string_view id, std::string_view text) {
    const char encoding = Encoding(t, text);
    const std::string body = encoding + Encoded(encoding, text, false);
    return FrameHeader(t, id, static_cast<std::uint32_t>(body.size())) + body;
}

// Comment: encoding | language | description (empty, terminated) | text.
std::string CommentFrame(const SRealisticTrack& t) {
    const char encoding = Encoding(t, t.comment);
    const std::string body = encoding + std::string("eng") + Encoded(encoding, "", true) +
                             Encoded(encoding, t.comment, false);
    return FrameHeader(t, "COMM", static_cast<std::uint32_t>(body.size())) + body;
}

// User text: encoding | description (terminated) | values, each but the last terminated.
std::string ArtistsFrame(const SRealisticTrack& t) {
    const char encoding = Encoding(t, t.artists);
    std::string body = encoding + Encoded(encoding, "ARTISTS", true);
    for (std::size_t start = 0; start <= t.artists.size();) {
        const std::size_t end = std::min(t.artists.find('\0', start), t.artists.size());
        body += Encoded(encoding, t.artists.substr(start, end - start), end < t.artists.size());
        start = end + 1;
    }
    return FrameHeader(t, "TXXX", static_cast<std::uint32_t>(body.size())) + body;
}

// Where taggers put them: among the texts, before the picture.
std::string CreditFrames(const SRealisticTrack& t) {
    std::string frames =
        TextFrame(t, "TPE2", t.albumArtist) +
        TextFrame(t, "TPOS", std::to_string(t.disc) + "/" + std::to_string(t.discCount));
    if (t.compilation)
        frames += TextFrame(t, "TCMP", "1");
    if (!t.artistSort.empty())
        frames += TextFrame(t, "TSOP", t.artistSort) + TextFrame(t, "TSO2", t.artistSort);
    if (!t.albumSort.empty())
        frames += TextFrame(t, "TSOA", t.albumSort);
    if (!t.artists.empty())
        frames += ArtistsFrame(t);
    return frames;
}

std::string TextFrames(const SRealisticTrack& t) {
    const std::string number = std::to_string(t.genre);
    const std::string genre = t.genreByName       ? std::string(t.GenreName())
                              : t.tagVersion == 4 ? number
                                                  : "(" + number + ")";
    std::string frames =
        TextFrame(t, "TIT2", t.title) + TextFrame(t, "TPE1", t.artist) +
        TextFrame(t, "TALB", t.album) +
        TextFrame(t, "TRCK", std::to_string(t.track) + "/" + std::to_string(t.trackCount)) +
        TextFrame(t, t.tagVersion == 4 ? "TDRC" : "TYER", t.year) + TextFrame(t, "TCON", genre) +
        TextFrame(t, "TSSE", "LAME 3.100");
    if (!t.comment.empty())
        frames += CommentFrame(t);
    return t.credits ? frames + CreditFrames(t) : frames;
}

// Picture frame: encoding | MIME type | picture type (3, front cover) | description | data. Only
// the start of the JPEG data is written; the rest stays a hole.
std::string PictureStart(const SRealisticTrack& t) {
    const std::string body = std::string("\0image/jpeg\0\3\0", 14) +
                             std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0\1\1\0\0\1\0\1\0\0", 20);
    return FrameHeader(t, "APIC", t.picture) + body;
}

// MPEG-1 Layer III, 44.1 kHz, no checksum; joint stereo. A 128 kbit/s frame (417 bytes) holds
// the encoder's header 36 bytes in: after the 4-byte header and 32 bytes of side information.
std::string FirstFrame(const SRealisticTrack& t) {
    constexpr std::string_view kBitrateIndex = "\x09\x0A\x0B\x0C\x0D\x0E"; // 128 ... 320
    constexpr int kKilobits[] = {128, 160, 192, 224, 256, 320};
    char index = 9;
    for (std::size_t i = 0; i < kBitrateIndex.size(); ++i)
        if (kKilobits[i] == t.kilobits)
            index = kBitrateIndex[i];
    std::string frame = {'\xFF', '\xFB', static_cast<char>(index << 4), '\x40'};
    frame.resize(36, '\0');
    if (t.audio == SRealisticTrack::EAudio::Cbr)
        return frame;
    // "Xing" | "Info", flags (frames, bytes, table, quality), the counts, a 100-byte seek
    // table, the quality, then the encoder's name.
    frame += t.audio == SRealisticTrack::EAudio::Vbr ? "Xing" : "Info";
    frame +=
        BigEndian(0x0F) + BigEndian(t.frames) + BigEndian(static_cast<std::uint32_t>(t.audioBytes));
    for (int i = 0; i < 100; ++i)
        frame += static_cast<char>(i * 256 / 100);
    frame += BigEndian(57) + "LAME3.100";
    return frame;
}

// "TAG" | title 30 | artist 30 | album 30 | year 4 | comment 28 | 0 | track | genre.
std::string Id3v1(const SRealisticTrack& t) {
    std::string tag(128, '\0');
    const auto put = [&tag](std::size_t at, std::size_t size, std::string_view text) {
        const std::string bytes = Latin1(text);
        tag.replace(at, std::min(size, bytes.size()), bytes.substr(0, size));
    };
    put(0, 3, "TAG");
    put(3, 30, t.title);
    put(33, 30, t.artist);
    put(63, 30, t.album);
    put(93, 4, t.year);
    put(97, 28, t.comment);
    tag[126] = static_cast<char>(t.track);
    tag[127] = static_cast<char>(t.genre);
    return tag;
}

} // namespace

std::vector<CRealisticFile::SPiece> CRealisticFile::Pieces(const SRealisticTrack& t) {
    std::string head =
        "ID3" + std::string{static_cast<char>(t.tagVersion), '\0', '\0'} + Syncsafe(t.tagSize - 10);
    std::vector<SPiece> pieces;
    const std::string texts = TextFrames(t);
    if (t.picture != 0 && t.pictureFirst) {
        pieces.push_back({0, head + PictureStart(t)});
        pieces.push_back({10 + 10 + std::uint64_t{t.picture}, texts});
    } else {
        pieces.push_back({0, head + texts + (t.picture != 0 ? PictureStart(t) : "")});
    }
    pieces.push_back({t.tagSize, FirstFrame(t)});
    const std::uint64_t size = t.Size();
    if (t.hasId3v1) {
        pieces.push_back({size - 128, Id3v1(t)});
    } else {
        std::string tail(128, '\0');
        for (std::size_t i = 0; i < tail.size(); ++i)
            tail[i] = static_cast<char>(0x55 + i % 7); // the end of the last frame
        pieces.push_back({size - 128, tail});
    }
    return pieces;
}

bool CRealisticFile::Write(const std::string& path, const SRealisticTrack& track) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = true;
    for (const SPiece& piece : Pieces(track))
        ok = ok &&
             ::pwrite(fd, piece.bytes.data(), piece.bytes.size(),
                      static_cast<off_t>(piece.offset)) == static_cast<ssize_t>(piece.bytes.size());
    ok = ok && ::ftruncate(fd, static_cast<off_t>(track.Size())) == 0;
    return ::close(fd) == 0 && ok;
}
