#include "desktop/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

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
