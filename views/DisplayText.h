#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

// Texts of the catalog are bytes as found on disk. They show as UTF-8 when they are valid
// UTF-8, else as Latin-1 (the tag's own character set).
class CDisplayText {
public:
    static QString FromBytes(std::string_view bytes);
    // Bytes for a text the user typed (a path): UTF-8.
    static std::string ToBytes(const QString& text);
};
