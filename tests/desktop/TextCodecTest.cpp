#include "desktop/TextCodec.h"
#include "platform/Utf8.h"

#include <QStringDecoder>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::string Bytes(const char* text) {
    return std::string(text);
}

} // namespace

TEST(TextCodec, BytesShowAsUtf8WhenValidElseLatin1) {
    EXPECT_EQ(CTextCodec::ToQString("Hello"), QStringLiteral("Hello"));
    EXPECT_EQ(CTextCodec::ToQString(""), QString());
    const QString cafe = QString::fromUtf8("Caf\u00e9");
    EXPECT_EQ(CTextCodec::ToQString(Bytes("Caf\xC3\xA9")), cafe) << "UTF-8";
    EXPECT_EQ(CTextCodec::ToQString(Bytes("Caf\xE9")), cafe) << "Latin-1";
    EXPECT_EQ(CTextCodec::ToQString(Bytes("\xE6\x97\xA5\xE6\x9C\xAC")), QString::fromUtf8("日本"));
    // Not UTF-8: a broken sequence, an overlong "/", an encoded surrogate, a lone lead byte.
    EXPECT_EQ(CTextCodec::ToQString(Bytes("\xC3\x28")), QString::fromUtf8("\u00c3("));
    EXPECT_EQ(CTextCodec::ToQString(Bytes("\xC0\xAF")), QString::fromUtf8("\u00c0\u00af"));
    EXPECT_EQ(CTextCodec::ToQString(Bytes("\xED\xA0\x80")),
              QString::fromUtf8("\u00ed\u00a0\u0080"));
    EXPECT_EQ(CTextCodec::ToQString(Bytes("ab\xC3")), QString::fromUtf8("ab\u00c3"));
}

TEST(TextCodec, EditsAreWrittenAsLatin1WhenTheyFitElseUtf8) {
    EXPECT_EQ(CTextCodec::FromQString(QStringLiteral("Hello")), "Hello");
    EXPECT_EQ(CTextCodec::FromQString(QString::fromUtf8("Caf\u00e9")), "Caf\xE9");
    EXPECT_EQ(CTextCodec::FromQString(QString::fromUtf8("日本")), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(CTextCodec::FromQString(QString::fromUtf8("\u00e9\u20ac")), "\xC3\xA9\xE2\x82\xAC")
        << "one character beyond Latin-1 makes the whole text UTF-8";
    // As Latin-1 these two characters would be the UTF-8 bytes of one other character.
    const QString looksLikeUtf8 = QString::fromUtf8("\u00c3\u00a9");
    const std::string written = CTextCodec::FromQString(looksLikeUtf8);
    EXPECT_EQ(written, "\xC3\x83\xC2\xA9");
    EXPECT_EQ(CTextCodec::ToQString(written), looksLikeUtf8);
}

TEST(TextCodec, TextsReadAndWrittenBackKeepTheirBytes) {
    for (int byte = 1; byte < 256; ++byte) {
        const std::string bytes{'x', static_cast<char>(byte), 'y'};
        const QString text = CTextCodec::ToQString(bytes);
        EXPECT_EQ(CTextCodec::FromQString(text), bytes) << byte;
        EXPECT_EQ(CTextCodec::FromQString(text, bytes), bytes) << byte;
    }
    for (const std::string& bytes : {Bytes("Caf\xC3\xA9"), Bytes("\xE6\x97\xA5"), Bytes("Caf\xE9"),
                                     Bytes("\xC3\x28"), Bytes("plain")}) {
        const QString text = CTextCodec::ToQString(bytes);
        EXPECT_EQ(CTextCodec::FromQString(text, bytes), bytes);
        EXPECT_EQ(CTextCodec::ToQString(CTextCodec::FromQString(text)), text);
    }
    // Only an unchanged text keeps the original's encoding.
    EXPECT_EQ(CTextCodec::FromQString(QString::fromUtf8("Caf\u00e9s"), Bytes("Caf\xC3\xA9")),
              "Caf\xE9s");
}

// The window and the command-line tool show a text by one rule: valid UTF-8 is what reads back
// as its own bytes, and the tool's UTF-8 is the window's text. Every sequence of up to two
// bytes, and longer ones from each lead byte with telling continuation bytes.
TEST(TextCodec, TheCoreRuleIsTheWindowsRule) {
    std::vector<std::string> samples;
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            samples.push_back({static_cast<char>(a), static_cast<char>(b)});
    const std::string tails = "\x00\x7F\x80\x8F\x90\x9F\xA0\xBF\xC0\xFF"s;
    for (int lead = 0xC0; lead < 256; ++lead)
        for (const char b : tails)
            for (const char c : tails) {
                samples.push_back({static_cast<char>(lead), b, c});
                for (const char d : tails)
                    samples.push_back({static_cast<char>(lead), b, c, d});
            }
    samples.push_back("\xEF\xBB\xBF"
                      "abc");
    for (const std::string& bytes : samples) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        const QString decoded = decoder.decode(QByteArrayView(bytes.data(), bytes.size()));
        ASSERT_EQ(CUtf8::IsValid(bytes), decoded.toUtf8().toStdString() == bytes)
            << testing::PrintToString(bytes);
        ASSERT_EQ(CUtf8::DisplayText(bytes), CTextCodec::ToQString(bytes).toUtf8().toStdString());
    }
}
