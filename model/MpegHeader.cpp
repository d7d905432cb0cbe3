#include "model/MpegHeader.h"

#include "model/MpegStream.h"

#include <array>

namespace {

// kbit/s by version (0 MPEG-2, 1 MPEG-1), layer (I, II, III) and bitrate index, from
// ISO/IEC 11172-3 and the lower sampling frequencies of ISO/IEC 13818-3. Index 0 is free
// format and 15 forbidden: neither has a rate.
constexpr std::array<std::array<std::array<int, 16>, 3>, 2> kKilobits{{
    {{
        // MPEG-2, Layer I, II, III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    }},
    {{
        // MPEG-1, Layer I, II, III
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    }},
}};

// "128 kbit/s": each rate of the table as the list shows it, made once at compile time.
struct SBitrateText {
    std::array<char, 12> chars{};
    std::size_t length = 0;
    constexpr std::string_view View() const { return {chars.data(), length}; }
};

constexpr SBitrateText MakeBitrateText(int kilobits) {
    SBitrateText text;
    char digits[4] = {};
    int count = 0;
    for (; kilobits > 0; kilobits /= 10)
        digits[count++] = static_cast<char>('0' + kilobits % 10);
    while (count > 0)
        text.chars[text.length++] = digits[--count];
    for (const char c : std::string_view(" kbit/s"))
        text.chars[text.length++] = c;
    return text;
}

// Every whole rate up to the highest of the table, so that the average rate of a variable
// bitrate has its text here too.
constexpr int kMaxKilobits = 640;

constexpr auto MakeBitrateTexts() {
    std::array<SBitrateText, kMaxKilobits + 1> texts{};
    for (int kilobits = 1; kilobits <= kMaxKilobits; ++kilobits)
        texts[static_cast<std::size_t>(kilobits)] = MakeBitrateText(kilobits);
    return texts;
}

constexpr auto kBitrateTexts = MakeBitrateTexts();

constexpr std::array<std::array<int, 3>, 2> kFrequencies{
    {{22050, 24000, 16000}, {44100, 48000, 32000}}};
constexpr std::array<std::array<std::string_view, 3>, 2> kFrequencyTexts{
    {{"22.05 kHz", "24 kHz", "16 kHz"}, {"44.1 kHz", "48 kHz", "32 kHz"}}};
constexpr std::array<std::string_view, 4> kModeTexts{"Stereo", "Joint stereo", "Dual channel",
                                                     "Single channel"};
constexpr std::array<std::string_view, 4> kLayerTexts{"", "I", "II", "III"};
constexpr std::array<std::string_view, 2> kVersionTexts{"MPEG-2", "MPEG-1"};
// By version and layer code, as VersionText, " Layer " and LayerText.
constexpr std::array<std::array<std::string_view, 4>, 2> kVersionLayerTexts{
    {{"", "MPEG-2 Layer I", "MPEG-2 Layer II", "MPEG-2 Layer III"},
     {"", "MPEG-1 Layer I", "MPEG-1 Layer II", "MPEG-1 Layer III"}}};

// The rate of a text "N kbit/s" written as BitrateText writes it; 0 for any other text.
int KilobitsOfText(std::string_view text) {
    constexpr std::string_view kUnit = " kbit/s";
    if (!text.ends_with(kUnit) || text.size() > kUnit.size() + 3 || text.front() == '0')
        return 0;
    int kilobits = 0;
    for (const char c : text.substr(0, text.size() - kUnit.size())) {
        if (c < '0' || c > '9')
            return 0;
        kilobits = kilobits * 10 + (c - '0');
    }
    return kilobits <= kMaxKilobits ? kilobits : 0;
}

// Codes from 1 for the entries of a table by version, row after row: the entry at `index` of
// the row of `version`.
template <class Table>
std::uint16_t PairCode(const Table& table, std::size_t version, std::size_t index) {
    return static_cast<std::uint16_t>(version * table[0].size() + index + 1);
}

// The code of a non-empty entry of such a table; 0 for a text it lacks.
template <class Table>
std::uint16_t CodeInPairs(const Table& table, std::string_view text) {
    for (std::size_t v = 0; v < table.size(); ++v)
        for (std::size_t i = 0; i < table[v].size(); ++i)
            if (table[v][i] == text && !text.empty())
                return PairCode(table, v, i);
    return 0;
}

constexpr unsigned Bits(std::uint32_t value, int high, int low) {
    return (value >> low) & ((1u << (high - low + 1)) - 1);
}

} // namespace

bool CMpegHeader::ReadHeader(CMpegStream& stream) {
    const auto header = stream.FindSync();
    if (!header || !Decode(*header))
        return false;
    return stream.ReadFrame(frameLength_);
}

bool CMpegHeader::Decode(std::uint32_t header) {
    version_ = static_cast<int>(Bits(header, 19, 19));
    frequencyIndex_ = static_cast<int>(Bits(header, 11, 10));
    if (frequencyIndex_ == 3)
        return false;
    layer_ = static_cast<int>((4 - Bits(header, 18, 17)) % 4);
    protection_ = static_cast<int>(Bits(header, 16, 16));
    bitrateIndex_ = static_cast<int>(Bits(header, 15, 12));
    padding_ = static_cast<int>(Bits(header, 9, 9));
    mode_ = static_cast<int>(Bits(header, 7, 6));
    if (layer_ == 0 || bitrateIndex_ == 0 || bitrateIndex_ == 15)
        return false;

    // Body length after the 4 header bytes: Layer I counts 4-byte slots, Layers II and III
    // bytes, and MPEG-2 frames carry half as many samples.
    const int bitrate = Bitrate();
    const int frequency = Frequency();
    if (layer_ == 1) {
        frameLength_ = (12 * bitrate / frequency + padding_) * 4 - 4;
    } else {
        const int slots = 144 * bitrate / frequency;
        frameLength_ = (version_ == 1 ? slots : slots / 2) + padding_ - 4;
    }
    return true;
}

int CMpegHeader::Bitrate() const {
    return layer_ == 0 ? 0 : kKilobits[version_][layer_ - 1][bitrateIndex_] * 1000;
}

int CMpegHeader::Frequency() const {
    return kFrequencies[version_][frequencyIndex_];
}

// Layer I frames hold 384 samples, Layers II and III 1152; Layer III of MPEG-2 half of that.
int CMpegHeader::SamplesPerFrame() const {
    if (layer_ == 1)
        return 384;
    return layer_ == 3 && version_ == 0 ? 576 : 1152;
}

std::string_view CMpegHeader::VersionText() const {
    return kVersionTexts[version_];
}

std::string_view CMpegHeader::LayerText() const {
    return kLayerTexts[layer_];
}

std::string_view CMpegHeader::ModeText() const {
    return kModeTexts[mode_];
}

std::string_view CMpegHeader::FrequencyText() const {
    return kFrequencyTexts[version_][frequencyIndex_];
}

// Free format and the forbidden index are refused by the header search; their texts never show.
std::string_view CMpegHeader::BitrateText() const {
    if (layer_ == 0 || bitrateIndex_ == 0 || bitrateIndex_ == 15)
        return {};
    return kBitrateTexts[static_cast<std::size_t>(kKilobits[version_][layer_ - 1][bitrateIndex_])]
        .View();
}

std::string_view CMpegHeader::VersionLayerText() const {
    return kVersionLayerTexts[version_][layer_];
}

// Codes count from 1 along the tables: a version's row of layers or frequencies after the
// other's, the modes in order, a bitrate its kilobits. A decoded header has a text of each.
std::uint16_t CMpegHeader::Code(EText kind) const {
    if (layer_ == 0 || bitrateIndex_ == 0 || bitrateIndex_ == 15)
        return 0;
    switch (kind) {
    case EText::VersionLayer:
        return PairCode(kVersionLayerTexts, static_cast<std::size_t>(version_),
                        static_cast<std::size_t>(layer_));
    case EText::Bitrate:
        return KilobitsCode(kKilobits[version_][layer_ - 1][bitrateIndex_]);
    case EText::Frequency:
        return PairCode(kFrequencyTexts, static_cast<std::size_t>(version_),
                        static_cast<std::size_t>(frequencyIndex_));
    case EText::Mode:
        return static_cast<std::uint16_t>(mode_ + 1);
    }
    return 0;
}

std::uint16_t CMpegHeader::KilobitsCode(int kilobits) {
    return kilobits > 0 && kilobits <= kMaxKilobits ? static_cast<std::uint16_t>(kilobits) : 0;
}

std::uint16_t CMpegHeader::TextCode(EText kind, std::string_view text) {
    switch (kind) {
    case EText::VersionLayer:
        return CodeInPairs(kVersionLayerTexts, text);
    case EText::Bitrate:
        return static_cast<std::uint16_t>(KilobitsOfText(text));
    case EText::Frequency:
        return CodeInPairs(kFrequencyTexts, text);
    case EText::Mode:
        for (std::size_t i = 0; i < kModeTexts.size(); ++i)
            if (kModeTexts[i] == text)
                return static_cast<std::uint16_t>(i + 1);
        return 0;
    }
    return 0;
}

std::string_view CMpegHeader::CodeText(EText kind, std::uint16_t code) {
    if (code == 0)
        return {};
    const std::size_t i = code - 1u;
    switch (kind) {
    case EText::VersionLayer:
        return kVersionLayerTexts[i / 4][i % 4];
    case EText::Bitrate:
        return kBitrateTexts[code].View();
    case EText::Frequency:
        return kFrequencyTexts[i / 3][i % 3];
    case EText::Mode:
        return kModeTexts[i];
    }
    return {};
}
