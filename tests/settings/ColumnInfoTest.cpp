#include "settings/ColumnInfo.h"

#include "platform/IniProfile.h"
#include "settings/SettingsKeys.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>

TEST(ColumnInfo, TheTableHoldsEachFieldOnceWithItsLabel) {
    const auto columns = CColumnInfo::DefaultColumns();
    std::set<EFieldId> fields;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].order, static_cast<int>(i) + 1);
        fields.insert(columns[i].fieldId);
        EXPECT_FALSE(columns[i].label.empty());
    }
    EXPECT_EQ(fields.size(), 14u);
    EXPECT_EQ(columns[10].label, "MPEG/Layer");
    EXPECT_EQ(columns[10].fieldId, EFieldId::MpegLayer);
    EXPECT_EQ(columns[5].alignment, EColumnAlign::Right);
    EXPECT_EQ(CColumnInfo::SectionName(EFieldId::MpegLayer), "Column14");
}

TEST(ColumnInfo, LoadsAndSavesItsSection) {
    using namespace SettingsKey;
    CTempDir dir;
    CIniProfile profile(dir / "q.ini");
    CColumnInfo size = CColumnInfo::FromDefault(kColumnTable[5]);
    size.Load(profile, true);
    EXPECT_EQ(size.width, 65) << "no width stored: the table's";
    EXPECT_EQ(size.order, 0) << "stored settings with a value missing read it as 0";
    EXPECT_EQ(size.alignment, EColumnAlign::Left);

    size.order = 3;
    size.displayed = 1;
    size.alignment = EColumnAlign::Center;
    size.width = 81;
    size.Save(profile);
    EXPECT_EQ(profile.GetInt("Column5", kColumnWidth, -1), -1);
    size.SaveWidth(profile);

    CColumnInfo again = CColumnInfo::FromDefault(kColumnTable[5]);
    again.Load(CIniProfile(profile.Path()), false);
    EXPECT_EQ(again.width, 81);
    EXPECT_EQ(again.order, 6) << "order, displayed and alignment only with stored settings";
    again.Load(CIniProfile(profile.Path()), true);
    EXPECT_EQ(again.order, 3);
    EXPECT_EQ(again.displayed, 1);
    EXPECT_EQ(again.alignment, EColumnAlign::Center);
}
