#pragma once

#include "platform/StringIds.h"

// Field ids of a track: the track list's column ids and, signed, its sort keys. Stored in the
// profile ("Column%d" sections, sort keys), so never renumbered.
enum class EFieldId : int {
    File = 1,
    Artist = 2,
    Title = 3,
    Location = 4,
    Size = 5,
    Album = 6,
    Genre = 7,
    Date = 8,
    Comment = 9,
    Time = 10,
    Bitrate = 11,
    Frequency = 12,
    Mode = 13,
    MpegLayer = 14,
    Track = 15,
    AlbumArtist = 16,
    Disc = 17,
};
inline constexpr int kFieldCount = 17;

// Whether a number names a field; a sort key names one by its magnitude.
constexpr bool IsFieldId(int value) {
    return value >= 1 && value <= kFieldCount;
}

// The label of a field: its column's header and the tool's heading.
constexpr EStringId FieldLabel(EFieldId field) {
    switch (field) {
    case EFieldId::File:
        return EStringId::LabelFile;
    case EFieldId::Artist:
        return EStringId::LabelArtist;
    case EFieldId::Title:
        return EStringId::LabelTitle;
    case EFieldId::Location:
        return EStringId::LabelLocation;
    case EFieldId::Size:
        return EStringId::LabelSize;
    case EFieldId::Album:
        return EStringId::LabelAlbum;
    case EFieldId::Genre:
        return EStringId::LabelGenre;
    case EFieldId::Date:
        return EStringId::LabelDate;
    case EFieldId::Comment:
        return EStringId::LabelComment;
    case EFieldId::Time:
        return EStringId::LabelTime;
    case EFieldId::Bitrate:
        return EStringId::LabelBitrate;
    case EFieldId::Frequency:
        return EStringId::LabelFrequency;
    case EFieldId::Mode:
        return EStringId::LabelMode;
    case EFieldId::Track:
        return EStringId::LabelTrack;
    case EFieldId::AlbumArtist:
        return EStringId::LabelAlbumArtist;
    case EFieldId::Disc:
        return EStringId::LabelDisc;
    case EFieldId::MpegLayer:
        break;
    }
    return EStringId::LabelMpegLayer;
}

// Sort keys are signed field ids: +field ascending, -field descending.
constexpr int operator+(EFieldId field) {
    return static_cast<int>(field);
}
constexpr int operator-(EFieldId field) {
    return -static_cast<int>(field);
}
