#include "settings/ColumnInfo.h"

#include "platform/IniProfile.h"
#include "platform/StringTable.h"
#include "settings/SettingsKeys.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

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

bool CColumnInfo::Load(const CIniProfile& profile, bool columnsSettings) {
    const std::string section = SectionName(fieldId);
    width = profile.GetInt(section, kColumnWidth, width);
    if (!columnsSettings)
        return true;
    constexpr int kMissing = INT_MIN;
    const int storedAlignment = profile.GetInt(section, kColumnAlignment, kMissing);
    const int storedDisplayed = profile.GetInt(section, kColumnDisplayed, kMissing);
    const int storedOrder = profile.GetInt(section, kColumnOrder, kMissing);
    const auto value = [](int stored) { return stored == kMissing ? 0 : stored; };
    alignment = static_cast<EColumnAlign>(value(storedAlignment));
    displayed = value(storedDisplayed);
    order = value(storedOrder);
    return storedAlignment != kMissing || storedDisplayed != kMissing || storedOrder != kMissing;
}

void CColumnInfo::LoadAll(std::span<CColumnInfo> columns, const CIniProfile& profile,
                          bool columnsSettings) {
    std::vector<CColumnInfo*> unknown;
    int last = 0;
    for (CColumnInfo& column : columns) {
        const auto entry = std::find_if(
            kColumnTable.begin(), kColumnTable.end(),
            [&column](const SColumnDefault& d) { return d.fieldId == column.fieldId; });
        if (!column.Load(profile, columnsSettings) && entry != kColumnTable.end() && entry->added)
            unknown.push_back(&column);
        else
            last = std::max(last, column.order);
    }
    for (CColumnInfo* column : unknown) {
        column->displayed = 0;
        last = last < INT_MAX ? last + 1 : last;
        column->order = last;
    }
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
