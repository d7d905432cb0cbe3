#include "views/SelectionStatus.h"

#include "desktop/FrameStrings.h"
#include "desktop/TextCodec.h"
#include "model/GenreTable.h"
#include "model/Mp3File.h"
#include "model/TrackTotals.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

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
    if (track.Genre() != kGenreNone || !track.GenreText().empty())
        text += QLatin1String(" [ ") + Text(track.GetGenreName()) + QLatin1String(" ]");
    return text;
}

CSelectionStatus::STexts CSelectionStatus::Compute(const TrackArray& selected) {
    STexts texts;
    if (selected.size() == 1) {
        texts.information = InformationText(*selected.front());
        texts.count = Text(CStringTable::Get(EStringId::OneSelectedFile));
    } else if (selected.size() > 1) {
        texts.count = CFrameStrings::Format(EStringId::SelectedCountFormat,
                                            static_cast<long long>(selected.size()));
    }
    const CTrackTotals totals(selected);
    texts.size = Text(totals.SizeText());
    texts.time = Text(totals.TimeText());
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
