#include "frame/FrameStrings.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <string_view>

QString CFrameStrings::Get(int id) {
    const std::string_view text = CStringTable::Get(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString CFrameStrings::Prompt(int commandId) {
    return Get(commandId).section(QLatin1Char('\n'), 0, 0);
}

QString CFrameStrings::Tooltip(int commandId) {
    return Get(commandId).section(QLatin1Char('\n'), 1, 1);
}

QString CFrameStrings::FileCount(long long count) {
    QString format = Get(StringId::kFileCountFormat);
    return format.replace(QLatin1String("%d"), QString::number(count));
}
