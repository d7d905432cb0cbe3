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
    EXPECT_EQ(fields.size(), 17u);
    EXPECT_EQ(columns[10].label, "MPEG/Layer");
    EXPECT_EQ(columns[10].fieldId, EFieldId::MpegLayer);
    EXPECT_EQ(columns[5].alignment, EColumnAlign::Right);
    EXPECT_EQ(CColumnInfo::SectionName(EFieldId::MpegLayer), "Column14");
    EXPECT_EQ(columns[14].label, "Track");
    EXPECT_EQ(columns[14].alignment, EColumnAlign::Right);
    EXPECT_EQ(columns[14].displayed, 1) << "a new profile shows the track number";
    EXPECT_EQ(columns[15].label, "Album artist");
    EXPECT_EQ(columns[16].label, "Disc");
    EXPECT_EQ(CColumnInfo::SectionName(EFieldId::Disc), "Column17");
    EXPECT_EQ(columns[15].displayed + columns[16].displayed, 0) << "shown when asked for";
}

// A profile whose options were stored before the Track column existed shows what it showed:
// Track hidden after the others. A column of the first fourteen missing from such a profile
// still reads as order 0, hidden.
TEST(ColumnInfo, AColumnAddedLaterStaysHiddenAtTheEnd) {
    CTempDir dir;
    CIniProfile profile(dir / "q.ini");
    auto columns = CColumnInfo::DefaultColumns();
    for (std::size_t i = 0; i < 14; ++i) {
        columns[i].order = 14 - static_cast<int>(i);
        if (i != 3)
            columns[i].Save(profile);
    }
    auto loaded = CColumnInfo::DefaultColumns();
    CColumnInfo::LoadAll(loaded, CIniProfile(profile.Path()), true);
    EXPECT_EQ(loaded[0].order, 14);
    EXPECT_EQ(loaded[3].order, 0) << "Artist, of the first fourteen: order 0";
    EXPECT_EQ(loaded[3].displayed, 0);
    EXPECT_EQ(loaded[14].fieldId, EFieldId::Track);
    EXPECT_EQ(loaded[14].displayed, 0);
    EXPECT_EQ(loaded[14].order, 15);
    EXPECT_EQ(loaded[15].order, 16) << "Album artist";
    EXPECT_EQ(loaded[16].order, 17) << "Disc";
    EXPECT_EQ(loaded[15].displayed + loaded[16].displayed, 0);
    loaded[14].Save(profile);
    auto again = CColumnInfo::DefaultColumns();
    CColumnInfo::LoadAll(again, CIniProfile(profile.Path()), true);
    EXPECT_EQ(again[14].order, 15) << "once stored, read as stored";
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
