#include "desktop/TextCodec.h"

#include "platform/Utf8.h"

#include <QByteArray>
#include <QStringDecoder>

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

// The core's rule decides (the command-line tool prints by it too). A byte-order mark at the
// start is kept as a character, so that the text still reads back as its bytes.
QString CTextCodec::ToQString(std::string_view bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (IsAscii(bytes) || !CUtf8::IsValid(bytes))
        return QString::fromLatin1(bytes.data(), size);
    if (!bytes.starts_with("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.data(), size);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes.data(), size));
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
