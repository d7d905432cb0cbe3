#pragma once

#include <cstdint>
#include <string_view>

class CMpegStream;

// One MPEG audio frame header, a big-endian 32-bit value:
//   31..20 sync | 19 version (1 MPEG-1, 0 MPEG-2) | 18..17 layer code (3 I, 2 II, 1 III)
//   16 protection | 15..12 bitrate index | 11..10 frequency index | 9 padding | 7..6 mode
class CMpegHeader {
public:
    // The texts of a header, each also known by a code: a record keeps the code of a text that
    // is a table entry instead of the text.
    enum class EText : std::uint8_t { VersionLayer, Bitrate, Frequency, Mode };

    // Finds the first candidate in the stream and decodes it; the first candidate only, so a
    // refused one leaves the file without a header even when valid frames follow.
    bool ReadHeader(CMpegStream& stream);
    // Takes the fields of a header value; false for frequency index 3, free format (bitrate
    // index 0), the forbidden index 15 and the reserved layer code, none of which gives a
    // frame length.
    bool Decode(std::uint32_t header);

    int Version() const { return version_; }
    int Layer() const { return layer_; }
    int FrameLength() const { return frameLength_; }
    int Mode() const { return mode_; }
    int Frequency() const;
    int SamplesPerFrame() const;
    int Bitrate() const;
    std::string_view VersionText() const;
    std::string_view LayerText() const;
    std::string_view ModeText() const;
    std::string_view FrequencyText() const;
    std::string_view BitrateText() const;
    std::string_view VersionLayerText() const;

    // The code of this header's text of `kind`, as TextCode gives it, without the text.
    std::uint16_t Code(EText kind) const;
    // The code of the text of a rate of `kilobits`; 0 for a rate the tables lack.
    static std::uint16_t KilobitsCode(int kilobits);
    // The code of `text`, never 0 for a text these tables hold; 0 for any other text.
    static std::uint16_t TextCode(EText kind, std::string_view text);
    // The text of a code from TextCode; empty for 0.
    static std::string_view CodeText(EText kind, std::uint16_t code);

private:
    int version_ = 1;
    int layer_ = 0;
    int protection_ = 1;
    int bitrateIndex_ = 0;
    int frequencyIndex_ = 0;
    int padding_ = 0;
    int mode_ = 0;
    int frameLength_ = 0;
};
