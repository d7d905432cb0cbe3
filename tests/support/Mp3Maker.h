#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Byte sequences for hand-made fixtures, and real MP3 files from the lame encoder.
namespace Mp3Maker {

// Four header bytes followed by `bodyLength` filler bytes that hold no sync pattern.
std::string Frame(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, int bodyLength);
// A complete ID3v1 block.
std::string Tag(std::string_view title, std::string_view artist, std::string_view album,
                std::string_view year, std::string_view comment, std::uint8_t genre);
// An ID3v2.3 tag of `payload` bytes (syncsafe size), optionally with the footer flag.
std::string Id3v2(std::string_view payload, bool footer = false);
// Filler bytes that never form a sync pattern.
std::string Filler(std::size_t length);

// Encodes `seconds` of a tone with lame and the given options into `path`; the test is
// skipped by the caller when lame is missing. Returns false when lame failed.
bool Encode(const std::string& path, double seconds, int sampleRate, std::string_view options);

} // namespace Mp3Maker
