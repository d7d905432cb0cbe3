#include "support/Mp3Maker.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace Mp3Maker {

std::string Filler(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(0x20 + i % 64);
    return bytes;
}

std::string Frame(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, int bodyLength) {
    std::string bytes{'\xFF', static_cast<char>(b1), static_cast<char>(b2), static_cast<char>(b3)};
    return bytes + Filler(static_cast<std::size_t>(bodyLength));
}

namespace {

void Put(std::string& block, std::size_t offset, std::size_t width, std::string_view text) {
    for (std::size_t i = 0; i < width && i < text.size(); ++i)
        block[offset + i] = text[i];
}

} // namespace

std::string Tag(std::string_view title, std::string_view artist, std::string_view album,
                std::string_view year, std::string_view comment, std::uint8_t genre) {
    std::string block(128, '\0');
    Put(block, 0, 3, "TAG");
    Put(block, 3, 30, title);
    Put(block, 33, 30, artist);
    Put(block, 63, 30, album);
    Put(block, 93, 4, year);
    Put(block, 97, 30, comment);
    block[127] = static_cast<char>(genre);
    return block;
}

std::string Id3v2(std::string_view payload, bool footer) {
    const auto size = static_cast<std::uint32_t>(payload.size());
    std::string bytes{'I', 'D', '3', 3, 0, static_cast<char>(footer ? 0x10 : 0)};
    for (int shift : {21, 14, 7, 0})
        bytes += static_cast<char>((size >> shift) & 0x7F);
    bytes += payload;
    if (footer)
        bytes += std::string{'3', 'D', 'I', 3, 0, 0x10} + bytes.substr(6, 4);
    return bytes;
}

bool Encode(const std::string& path, double seconds, int sampleRate, std::string_view options) {
    const std::string raw = path + ".raw";
    {
        std::ofstream out(raw, std::ios::binary);
        const auto samples = static_cast<std::size_t>(seconds * sampleRate);
        std::vector<std::int16_t> pcm(samples * 2);
        for (std::size_t i = 0; i < samples; ++i) {
            const auto v = static_cast<std::int16_t>(8000 * std::sin(i * 0.05));
            pcm[2 * i] = v;
            pcm[2 * i + 1] = v;
        }
        out.write(reinterpret_cast<const char*>(pcm.data()),
                  static_cast<std::streamsize>(pcm.size() * sizeof(std::int16_t)));
    }
    char rate[32];
    std::snprintf(rate, sizeof rate, "%g", sampleRate / 1000.0);
    const std::string command = "lame --quiet -r --signed --little-endian --bitwidth 16 -s " +
                                std::string(rate) + " " + std::string(options) + " '" + raw +
                                "' '" + path + "'";
    const int status = std::system(command.c_str());
    std::remove(raw.c_str());
    return status == 0;
}

} // namespace Mp3Maker
