#include "settings/ColumnInfo.h"

#include "platform/IniProfile.h"
#include "platform/StringTable.h"
#include "settings/SettingsKeys.h"

#include <cstdio>

using namespace SettingsKey;

namespace {

// Longest label a record holds, in bytes.
constexpr std::size_t kMaxLabelLength = 99;

} // namespace

CColumnInfo CColumnInfo::FromDefault(const SColumnDefault& entry) {
    CColumnInfo column;
    column.label =
        std::string(CStringTable::Get(FieldLabel(entry.fieldId)).substr(0, kMaxLabelLength));
    column.order = entry.order;
    column.group = entry.group;
    column.fieldId = entry.fieldId;
    column.displayed = entry.displayed ? 1 : 0;
    column.alignment = entry.alignment;
    column.width = entry.width;
    return column;
}

std::array<CColumnInfo, kFieldCount> CColumnInfo::DefaultColumns() {
    std::array<CColumnInfo, kFieldCount> columns;
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = FromDefault(kColumnTable[i]);
    return columns;
}

std::string CColumnInfo::SectionName(EFieldId field) {
    char name[32];
    std::snprintf(name, sizeof name, kColumnSectionFormat, static_cast<int>(field));
    return name;
}

void CColumnInfo::Load(const CIniProfile& profile, bool columnsSettings) {
    const std::string section = SectionName(fieldId);
    width = profile.GetInt(section, kColumnWidth, width);
    if (!columnsSettings)
        return;
    alignment = static_cast<EColumnAlign>(profile.GetInt(section, kColumnAlignment, 0));
    displayed = profile.GetInt(section, kColumnDisplayed, 0);
    order = profile.GetInt(section, kColumnOrder, 0);
}

void CColumnInfo::Save(CIniProfile& profile) const {
    const std::string section = SectionName(fieldId);
    profile.WriteInt(section, kColumnAlignment, static_cast<int>(alignment));
    profile.WriteInt(section, kColumnDisplayed, displayed);
    profile.WriteInt(section, kColumnOrder, order);
}

void CColumnInfo::SaveWidth(CIniProfile& profile) const {
    profile.WriteInt(SectionName(fieldId), kColumnWidth, width);
}
