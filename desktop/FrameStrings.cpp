#include "desktop/FrameStrings.h"

#include "platform/StringTable.h"

#include <QLocale>

#include <string_view>

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString CFrameStrings::Get(EStringId id) {
    return FromUtf8(CStringTable::Get(id));
}

QString CFrameStrings::Prompt(ECommandId id) {
    return FromUtf8(CStringTable::Get(id)).section(QLatin1Char('\n'), 0, 0);
}

QString CFrameStrings::Tooltip(ECommandId id) {
    return FromUtf8(CStringTable::Get(id)).section(QLatin1Char('\n'), 1, 1);
}

QString CFrameStrings::Format(EStringId id, long long number) {
    return Get(id).replace(QLatin1String("%d"), number >= 0
                                                    ? Number(static_cast<std::size_t>(number))
                                                    : QString::number(number));
}

QString CFrameStrings::Number(std::size_t number) {
    const bool french = CStringTable::Language() == CStringTable::ELanguage::French;
    return QLocale(french ? QLocale::French : QLocale::English)
        .toString(static_cast<qulonglong>(number));
}
