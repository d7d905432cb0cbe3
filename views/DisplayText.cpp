#include "views/DisplayText.h"

#include <QStringDecoder>

#include <algorithm>

QString CDisplayText::FromBytes(std::string_view bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
        return QString::fromLatin1(bytes.data(), size);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), size));
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes.data(), size);
}

std::string CDisplayText::ToBytes(const QString& text) {
    return text.toStdString();
}
