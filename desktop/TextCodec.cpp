#include "desktop/TextCodec.h"

#include <QByteArray>

#include <algorithm>

namespace {

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool FitsLatin1(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

std::string ToStdString(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

// Bytes are UTF-8 only when decoding and encoding again gives them back unchanged: that turns
// away broken sequences, overlong forms and encoded surrogates alike.
QString CTextCodec::ToQString(std::string_view bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes.data(), size);
    QString text = QString::fromUtf8(bytes.data(), size);
    const QByteArray again = text.toUtf8();
    if (std::string_view(again.constData(), static_cast<std::size_t>(again.size())) == bytes)
        return text;
    return QString::fromLatin1(bytes.data(), size);
}

// Latin-1 bytes that happen to form UTF-8 would read back as other characters; those texts go
// out as UTF-8 so that what is written reads back as it was typed.
std::string CTextCodec::FromQString(const QString& text) {
    if (FitsLatin1(text)) {
        std::string latin1 = ToStdString(text.toLatin1());
        if (ToQString(latin1) == text)
            return latin1;
    }
    return ToStdString(text.toUtf8());
}

std::string CTextCodec::FromQString(const QString& text, std::string_view original) {
    if (ToQString(original) == text)
        return std::string(original);
    return FromQString(text);
}
