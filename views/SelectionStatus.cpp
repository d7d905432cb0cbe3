#include "views/SelectionStatus.h"

#include "desktop/TextCodec.h"
#include "model/GenreTable.h"
#include "model/Mp3File.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <cstdint>

namespace {

// Each text on its own: one tag may be in UTF-8 and the next in Latin-1.
QString Text(std::string_view bytes) {
    return CTextCodec::ToQString(bytes);
}

} // namespace

QString CSelectionStatus::InformationText(const CMp3File& track) {
    QString text = Text(track.Artist()) + QLatin1String(" - ") + Text(track.Title());
    if (!track.Album().empty())
        text += QLatin1String(" - Album : ") + Text(track.Album());
    if (!track.Year().empty())
        text += QLatin1String(" - ") + Text(track.Year());
    if (track.Genre() != kGenreNone)
        text += QLatin1String(" [ ") + Text(track.GetGenreName()) + QLatin1String(" ]");
    return text;
}

CSelectionStatus::STexts CSelectionStatus::Compute(const TrackArray& selected) {
    STexts texts;
    std::int64_t sizeK = 0;
    std::int64_t seconds = 0;
    for (const CMp3File* track : selected) {
        sizeK += track->SizeK();
        seconds += track->Duration();
    }
    if (selected.size() == 1) {
        texts.information = InformationText(*selected.front());
        texts.count = Text(CStringTable::Get(EStringId::OneSelectedFile));
    } else if (selected.size() > 1) {
        texts.count = Text(CStringTable::Get(EStringId::SelectedCountFormat))
                          .replace(QLatin1String("%d"), QString::number(selected.size()));
    }
    texts.size = Text(CMp3File::FormatSize(static_cast<int>(sizeK)));
    texts.time = Text(CMp3File::FormatDuration(static_cast<int>(seconds)));
    return texts;
}

QString CSelectionStatus::ClipboardText(const TrackArray& tracks,
                                        const std::vector<EFieldId>& fieldIds) {
    QString text;
    for (const CMp3File* track : tracks) {
        for (std::size_t i = 0; i < fieldIds.size(); ++i) {
            if (i != 0)
                text += QLatin1Char('\t');
            text += Text(track->GetFieldText(fieldIds[i]));
        }
        text += QLatin1String("\r\n");
    }
    return text;
}
