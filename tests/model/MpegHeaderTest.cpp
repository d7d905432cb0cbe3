#include "model/MpegHeader.h"
#include "model/FieldIds.h"
#include "model/Mp3File.h"
#include "support/Mp3Maker.h"
#include "support/RecordingReporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

struct SHeaderTexts {
    std::string versionLayer;
    std::string bitrate;
    std::string frequency;
    std::string mode;
    int bitrateValue;
};

// Loads `bytes`, followed by a tag block unless the file must end where the bytes end, and
// returns the track's header texts.
SHeaderTexts LoadHeader(const std::string& bytes, bool withTag = true) {
    CTempDir dir;
    dir.Write("t.mp3", withTag ? bytes + Mp3Maker::Tag("", "", "", "", "", 0) : bytes);
    CMp3File track;
    CRecordingReporter reporter;
    EXPECT_TRUE(track.Load(dir.Path(), "t.mp3", reporter));
    EXPECT_TRUE(reporter.messages.empty());
    return {std::string(track.VersionLayerText()), std::string(track.BitrateText()),
            std::string(track.FrequencyText()), std::string(track.ModeText()), track.Bitrate()};
}

} // namespace

TEST(MpegHeader, Mpeg1Layer3JointStereo) {
    const auto h = LoadHeader(Mp3Maker::Frame(0xFB, 0x90, 0x64, 413));
    EXPECT_EQ(h.versionLayer, "MPEG-1 Layer III");
    EXPECT_EQ(h.bitrate, "128 kbit/s");
    EXPECT_EQ(h.frequency, "44.1 kHz");
    EXPECT_EQ(h.mode, "Joint stereo");
    EXPECT_EQ(h.bitrateValue, 128000);
}

TEST(MpegHeader, FrameBodyMustBeComplete) {
    // The body ends 128 bytes early when the tag counts; only the bytes of the file matter.
    CTempDir dir;
    dir.Write("cut.mp3", Mp3Maker::Frame(0xFB, 0x90, 0x64, 412));
    CMp3File track;
    CRecordingReporter reporter;
    ASSERT_TRUE(track.Load(dir.Path(), "cut.mp3", reporter));
    EXPECT_EQ(track.BitrateText(), "");
    EXPECT_EQ(track.Bitrate(), 0);
    EXPECT_EQ(track.Duration(), 0);
    EXPECT_EQ(track.GetFieldText(EFieldId::Time), "0:00");

    dir.Write("whole.mp3", Mp3Maker::Frame(0xFB, 0x90, 0x64, 413));
    CMp3File whole;
    ASSERT_TRUE(whole.Load(dir.Path(), "whole.mp3", reporter));
    EXPECT_EQ(whole.BitrateText(), "128 kbit/s");
}

TEST(MpegHeader, Mpeg2Layer3And16kHz) {
    // 0xF3: MPEG-2 Layer III without checksum; 0x98: 80 kbit/s, frequency index 2.
    // Body: 144 * 80000 / 16000 = 720, halved = 360, minus 4.
    const auto h = LoadHeader(Mp3Maker::Frame(0xF3, 0x98, 0xC0, 356));
    EXPECT_EQ(h.versionLayer, "MPEG-2 Layer III");
    EXPECT_EQ(h.frequency, "16 kHz");
    EXPECT_EQ(h.bitrate, "80 kbit/s");
    EXPECT_EQ(h.mode, "Single channel");
    EXPECT_EQ(LoadHeader(Mp3Maker::Frame(0xF3, 0x98, 0xC0, 355), false).bitrate, "");
}

TEST(MpegHeader, LayerOneAndTwo) {
    // Layer I, 448 kbit/s, 32 kHz, padded: (12 * 448000 / 32000 + 1) * 4 - 4 = 672 bytes.
    auto h = LoadHeader(Mp3Maker::Frame(0xFF, 0xEA, 0x80, 672));
    EXPECT_EQ(h.versionLayer, "MPEG-1 Layer I");
    EXPECT_EQ(h.bitrate, "448 kbit/s");
    EXPECT_EQ(h.frequency, "32 kHz");
    EXPECT_EQ(h.mode, "Dual channel");
    EXPECT_EQ(LoadHeader(Mp3Maker::Frame(0xFF, 0xEA, 0x80, 671), false).bitrate, "");

    // Layer II, 384 kbit/s, 32 kHz, padded: the largest body of all, 1725 bytes.
    h = LoadHeader(Mp3Maker::Frame(0xFD, 0xEA, 0x00, 1725));
    EXPECT_EQ(h.versionLayer, "MPEG-1 Layer II");
    EXPECT_EQ(h.bitrate, "384 kbit/s");
    EXPECT_EQ(h.mode, "Stereo");
    EXPECT_EQ(LoadHeader(Mp3Maker::Frame(0xFD, 0xEA, 0x00, 1724), false).bitrate, "");

    // MPEG-2 Layer II at 24 kHz, 8 kbit/s: 144 * 8000 / 24000 = 48, halved 24, minus 4.
    h = LoadHeader(Mp3Maker::Frame(0xF5, 0x14, 0x40, 20));
    EXPECT_EQ(h.versionLayer, "MPEG-2 Layer II");
    EXPECT_EQ(h.frequency, "24 kHz");
    EXPECT_EQ(h.bitrate, "8 kbit/s");
}

TEST(MpegHeader, OnlyTheFirstCandidateCounts) {
    const std::string good = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413);
    // Frequency index 3 refuses the file even though a valid frame follows.
    EXPECT_EQ(LoadHeader(Mp3Maker::Frame(0xFB, 0x9C, 0x64, 10) + good).bitrate, "");
    // Free format, the forbidden index and the reserved layer are refused too.
    EXPECT_EQ(LoadHeader(Mp3Maker::Frame(0xFB, 0x00, 0x64, 10) + good).bitrate, "");
    EXPECT_EQ(LoadHeader(Mp3Maker::Frame(0xFB, 0xF0, 0x64, 10) + good).bitrate, "");
    EXPECT_EQ(LoadHeader(Mp3Maker::Frame(0xF9, 0x90, 0x64, 10) + good).bitrate, "");
    // Leading bytes without a sync are walked past, one byte at a time.
    EXPECT_EQ(LoadHeader(Mp3Maker::Filler(20001) + good).bitrate, "128 kbit/s");
    // MPEG-2.5 has eleven sync bits only and is not recognised.
    EXPECT_EQ(LoadHeader(Mp3Maker::Frame(0xE3, 0x90, 0x64, 413)).bitrate, "");
    // No sync at all.
    EXPECT_EQ(LoadHeader(Mp3Maker::Filler(5000)).bitrate, "");
}

TEST(MpegHeader, SearchStartsAfterAnId3v2Tag) {
    const std::string good = Mp3Maker::Frame(0xFB, 0x90, 0x64, 413);
    // A UTF-16 text frame starts with the byte-order mark FF FE, which looks like a header.
    const std::string payload = "TIT2\x00\x00\x00\x07\x00\x00\x01\xFF\xFE"s + "A\0B\0"s;
    EXPECT_EQ(LoadHeader(Mp3Maker::Id3v2(payload) + good).bitrate, "128 kbit/s");
    EXPECT_EQ(LoadHeader(Mp3Maker::Id3v2(payload, true) + good).bitrate, "128 kbit/s");
    // A tag that claims to run past the end of the file leaves no header, and no crash.
    std::string huge = Mp3Maker::Id3v2(payload);
    huge[6] = 0x7F;
    EXPECT_EQ(LoadHeader(huge + good).bitrate, "");
    // Not an ID3v2 tag (a size byte with its high bit set): searched like audio, so the
    // byte-order mark is taken for a Layer I header.
    std::string bad = Mp3Maker::Id3v2(payload);
    bad[9] = static_cast<char>(0x80);
    EXPECT_EQ(LoadHeader(bad + good).versionLayer, "MPEG-1 Layer I");
}

TEST(MpegHeader, DecodeTablesDirectly) {
    CMpegHeader header;
    ASSERT_TRUE(header.Decode(0xFFFB9064));
    EXPECT_EQ(header.FrameLength(), 413);
    EXPECT_EQ(header.Version(), 1);
    EXPECT_EQ(header.Layer(), 3);
    // MPEG-1 Layer III 320 kbit/s, 48 kHz, padded: 144 * 320000 / 48000 + 1 - 4.
    ASSERT_TRUE(header.Decode(0xFFFBE600));
    EXPECT_EQ(header.BitrateText(), "320 kbit/s");
    EXPECT_EQ(header.FrequencyText(), "48 kHz");
    EXPECT_EQ(header.FrameLength(), 957);
    // MPEG-2 Layer III 160 kbit/s at 22.05 kHz.
    ASSERT_TRUE(header.Decode(0xFFF3E000));
    EXPECT_EQ(header.Bitrate(), 160000);
    EXPECT_EQ(header.FrequencyText(), "22.05 kHz");
    EXPECT_EQ(header.FrameLength(), 144 * 160000 / 22050 / 2 - 4);
    EXPECT_FALSE(header.Decode(0xFFFB0064));
    EXPECT_FALSE(header.Decode(0xFFFBF064));
    EXPECT_FALSE(header.Decode(0xFFFB9C64));
    EXPECT_FALSE(header.Decode(0xFFF99064));
}

// A record keeps a header's codes, made straight from its fields: each must be the code of the
// text the header shows, for every header there is, and a rate's code that of its text.
TEST(MpegHeader, CodesAreThoseOfTheTexts) {
    using EText = CMpegHeader::EText;
    int decoded = 0;
    for (std::uint32_t fields = 0; fields < (1u << 20); ++fields) {
        CMpegHeader header;
        if (!header.Decode(0xFFF00000u | fields))
            continue;
        ++decoded;
        const std::pair<EText, std::string_view> texts[] = {
            {EText::VersionLayer, header.VersionLayerText()},
            {EText::Bitrate, header.BitrateText()},
            {EText::Frequency, header.FrequencyText()},
            {EText::Mode, header.ModeText()}};
        for (const auto& [kind, text] : texts) {
            ASSERT_NE(header.Code(kind), 0) << std::hex << fields;
            ASSERT_EQ(header.Code(kind), CMpegHeader::TextCode(kind, text)) << std::hex << fields;
        }
    }
    // Versions, layers, rates and frequencies; the 11 bits of the others take any value.
    EXPECT_EQ(decoded, 2 * 3 * 14 * 3 * (1 << 11));
    for (const int kilobits : {-1, 0, 1, 8, 99, 100, 128, 640, 641, 1000, 100000})
        EXPECT_EQ(CMpegHeader::KilobitsCode(kilobits),
                  CMpegHeader::TextCode(EText::Bitrate, std::to_string(kilobits) + " kbit/s"))
            << kilobits;
}
