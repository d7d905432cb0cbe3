#include "views/TrackFilter.h"

#include "desktop/TextCodec.h"
#include "model/Mp3File.h"
#include "platform/Ascii.h"

#include <QStringList>

#include <algorithm>

namespace {

bool IsAscii(const QString& word) {
    return std::all_of(word.begin(), word.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// `needle` is lower-case ASCII; the haystack's ASCII letters are folded as they are compared.
bool ContainsAscii(std::string_view haystack, std::string_view needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                       [](char a, char b) { return CAscii::Lower(a) == b; }) != haystack.end();
}

} // namespace

CTrackFilter::CTrackFilter(const QString& text) {
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        SWord entry{word.toCaseFolded(), {}};
        if (IsAscii(word))
            entry.ascii = word.toLower().toStdString();
        words_.push_back(std::move(entry));
    }
}

// The fields' texts are joined by a tab, which no word holds, so a word never spans two fields.
bool CTrackFilter::Matches(const CMp3File& track, const std::vector<EFieldId>& fields) const {
    std::string bytes;
    for (const EFieldId field : fields) {
        track.AppendFieldText(field, bytes);
        bytes += '\t';
    }
    QString shown;
    const bool plainBytes =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    for (const SWord& word : words_) {
        if (!word.ascii.empty()) {
            if (!ContainsAscii(bytes, word.ascii))
                return false;
            continue;
        }
        // A word with other letters is never found in texts of plain ASCII.
        if (plainBytes)
            return false;
        if (shown.isEmpty()) {
            for (const EFieldId field : fields)
                shown += CTextCodec::ToQString(track.GetFieldText(field)) + QLatin1Char('\t');
            shown = shown.toCaseFolded();
        }
        if (!shown.contains(word.folded))
            return false;
    }
    return true;
}

TrackArray CTrackFilter::Apply(const TrackArray& tracks,
                               const std::vector<EFieldId>& fields) const {
    if (IsEmpty())
        return tracks;
    TrackArray passing;
    std::copy_if(tracks.begin(), tracks.end(), std::back_inserter(passing),
                 [&](const CMp3File* track) { return Matches(*track, fields); });
    return passing;
}
