#pragma once

#include "model/FieldIds.h"
#include "platform/StringIds.h"

#include <array>
#include <string>

class CIniProfile;

// Alignment of a column's header and cells as the profile stores it.
namespace ColumnAlign {
inline constexpr int kLeft = 0;
inline constexpr int kRight = 1;
inline constexpr int kCenter = 2;
} // namespace ColumnAlign

// Group of a column: where its value comes from. Carried with the record, not used by the list.
namespace ColumnGroup {
inline constexpr int kTag = 1;
inline constexpr int kStream = 2;
inline constexpr int kFileSystem = 4;
} // namespace ColumnGroup

// The factory settings of one column of the track list.
struct SColumnDefault {
    int labelId;
    int order;
    int group;
    int fieldId;
    int alignment;
    int width;
    bool displayed;
};

// The fourteen columns in table order; a profile without column settings gets these.
inline constexpr std::array<SColumnDefault, FieldId::kCount> kColumnTable{{
    {StringId::kLabelFile, 1, ColumnGroup::kFileSystem, FieldId::kFile, ColumnAlign::kLeft, 150,
     true},
    {StringId::kLabelTitle, 2, ColumnGroup::kTag, FieldId::kTitle, ColumnAlign::kLeft, 150, true},
    {StringId::kLabelAlbum, 3, ColumnGroup::kTag, FieldId::kAlbum, ColumnAlign::kLeft, 150, true},
    {StringId::kLabelArtist, 4, ColumnGroup::kTag, FieldId::kArtist, ColumnAlign::kLeft, 100, true},
    {StringId::kLabelLocation, 5, ColumnGroup::kFileSystem, FieldId::kLocation, ColumnAlign::kLeft,
     150, false},
    {StringId::kLabelSize, 6, ColumnGroup::kFileSystem, FieldId::kSize, ColumnAlign::kRight, 65,
     false},
    {StringId::kLabelDate, 7, ColumnGroup::kTag, FieldId::kDate, ColumnAlign::kCenter, 50, true},
    {StringId::kLabelGenre, 8, ColumnGroup::kTag, FieldId::kGenre, ColumnAlign::kLeft, 100, true},
    {StringId::kLabelComment, 9, ColumnGroup::kTag, FieldId::kComment, ColumnAlign::kLeft, 150,
     false},
    {StringId::kLabelTime, 10, ColumnGroup::kStream, FieldId::kTime, ColumnAlign::kRight, 50, true},
    {StringId::kLabelMpegLayer, 11, ColumnGroup::kStream, FieldId::kMpegLayer, ColumnAlign::kLeft,
     150, false},
    {StringId::kLabelBitrate, 12, ColumnGroup::kStream, FieldId::kBitrate, ColumnAlign::kRight, 70,
     false},
    {StringId::kLabelFrequency, 13, ColumnGroup::kStream, FieldId::kFrequency, ColumnAlign::kRight,
     80, false},
    {StringId::kLabelMode, 14, ColumnGroup::kStream, FieldId::kMode, ColumnAlign::kCenter, 100,
     false},
}};

// One column of the track list: what it shows, where and how. The options sheet edits copies of
// `order`, `displayed` and `alignment`; every record keeps its settings in the profile section
// "Column<field id>".
class CColumnInfo {
public:
    // The column's factory settings, with its label from the string table.
    static CColumnInfo FromDefault(const SColumnDefault& entry);
    static std::array<CColumnInfo, FieldId::kCount> DefaultColumns();
    static std::string SectionName(int fieldId);

    // The width always; order, displayed and alignment only when the options sheet has stored
    // them (`columnsSettings`), a missing one then reading as 0.
    void Load(const CIniProfile& profile, bool columnsSettings);
    // Order, displayed and alignment.
    void Save(CIniProfile& profile) const;
    void SaveWidth(CIniProfile& profile) const;

    std::string label;
    int order = 0;
    int group = 0;
    int fieldId = 0;
    int displayed = 0;
    int alignment = ColumnAlign::kLeft;
    int width = 0;
};
