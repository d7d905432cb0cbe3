#pragma once

#include "model/FieldIds.h"

#include <array>
#include <span>
#include <string>

class CIniProfile;

// Alignment of a column's header and cells as the profile stores it; an unknown stored value
// aligns left.
enum class EColumnAlign : int { Left = 0, Right = 1, Center = 2 };

// Group of a column: where its value comes from. Carried with the record, not used by the list.
enum class EColumnGroup : int { Tag = 1, Stream = 2, FileSystem = 4 };

// The factory settings of one column of the track list. A column `added` after the first
// fourteen is unknown to the profiles written before it: one of those hides it at the end.
// The album artist and the disc say something for few collections: shown only when asked for.
struct SColumnDefault {
    int order;
    EColumnGroup group;
    EFieldId fieldId;
    EColumnAlign alignment;
    int width;
    bool displayed;
    bool added = false;
};

// The columns in table order; a profile without column settings gets these.
inline constexpr std::array<SColumnDefault, kFieldCount> kColumnTable{{
    {1, EColumnGroup::FileSystem, EFieldId::File, EColumnAlign::Left, 150, true},
    {2, EColumnGroup::Tag, EFieldId::Title, EColumnAlign::Left, 150, true},
    {3, EColumnGroup::Tag, EFieldId::Album, EColumnAlign::Left, 150, true},
    {4, EColumnGroup::Tag, EFieldId::Artist, EColumnAlign::Left, 100, true},
    {5, EColumnGroup::FileSystem, EFieldId::Location, EColumnAlign::Left, 150, false},
    {6, EColumnGroup::FileSystem, EFieldId::Size, EColumnAlign::Right, 65, false},
    {7, EColumnGroup::Tag, EFieldId::Date, EColumnAlign::Center, 50, true},
    {8, EColumnGroup::Tag, EFieldId::Genre, EColumnAlign::Left, 100, true},
    {9, EColumnGroup::Tag, EFieldId::Comment, EColumnAlign::Left, 150, false},
    {10, EColumnGroup::Stream, EFieldId::Time, EColumnAlign::Right, 50, true},
    {11, EColumnGroup::Stream, EFieldId::MpegLayer, EColumnAlign::Left, 150, false},
    {12, EColumnGroup::Stream, EFieldId::Bitrate, EColumnAlign::Right, 70, false},
    {13, EColumnGroup::Stream, EFieldId::Frequency, EColumnAlign::Right, 80, false},
    {14, EColumnGroup::Stream, EFieldId::Mode, EColumnAlign::Center, 100, false},
    {15, EColumnGroup::Tag, EFieldId::Track, EColumnAlign::Right, 50, true, true},
    {16, EColumnGroup::Tag, EFieldId::AlbumArtist, EColumnAlign::Left, 100, false, true},
    {17, EColumnGroup::Tag, EFieldId::Disc, EColumnAlign::Right, 40, false, true},
}};

// One column of the track list: what it shows, where and how. The options sheet edits copies of
// `order`, `displayed` and `alignment`; every record keeps its settings in the profile section
// "Column<field id>".
class CColumnInfo {
public:
    // The column's factory settings, with its label from the string table.
    static CColumnInfo FromDefault(const SColumnDefault& entry);
    static std::array<CColumnInfo, kFieldCount> DefaultColumns();
    static std::string SectionName(EFieldId field);

    // The width always; order, displayed and alignment only when the options sheet has stored
    // them (`columnsSettings`), a missing one then reading as 0. False when the profile holds
    // none of the three: the column came after the profile was written.
    bool Load(const CIniProfile& profile, bool columnsSettings);
    // Loads every column; one added after the profile was written (its section holds none of
    // the three values) stays hidden, after the others, so that a profile keeps showing the
    // columns it showed.
    static void LoadAll(std::span<CColumnInfo> columns, const CIniProfile& profile,
                        bool columnsSettings);
    // Order, displayed and alignment.
    void Save(CIniProfile& profile) const;
    void SaveWidth(CIniProfile& profile) const;

    std::string label;
    int order = 0;
    EColumnGroup group = EColumnGroup::Tag;
    EFieldId fieldId = EFieldId::File;
    int displayed = 0;
    EColumnAlign alignment = EColumnAlign::Left;
    int width = 0;
};
