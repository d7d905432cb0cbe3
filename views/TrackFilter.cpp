#include "views/TrackFilter.h"

#include "desktop/TextFold.h"
#include "model/Mp3File.h"
#include "platform/Ascii.h"

#include <QStringList>

#include <algorithm>

namespace {

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// `needle` is lower-case ASCII; the haystack's ASCII letters are folded as they are compared.
bool ContainsAscii(std::string_view haystack, std::string_view needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                       [](char a, char b) { return CAscii::Lower(a) == b; }) != haystack.end();
}

} // namespace

// A word of accents alone folds to nothing and is no word.
CTrackFilter::CTrackFilter(const QString& text) {
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        SWord entry{CTextFold::Fold(word).toStdString()};
        entry.ascii = IsAscii(entry.folded);
        if (!entry.folded.empty())
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
    if (IsAscii(bytes))
        return std::all_of(words_.begin(), words_.end(), [&bytes](const SWord& word) {
            return word.ascii && ContainsAscii(bytes, word.folded);
        });
    const std::string folded = FoldedTexts(track, fields);
    return std::all_of(words_.begin(), words_.end(), [&folded](const SWord& word) {
        return folded.find(word.folded) != std::string::npos;
    });
}

// Each field on its own: one tag may be in UTF-8 and the next in Latin-1.
std::string CTrackFilter::FoldedTexts(const CMp3File& track, const std::vector<EFieldId>& fields) {
    std::string folded;
    std::string scratch;
    AppendFoldedTexts(track, fields, folded, scratch);
    return folded;
}

void CTrackFilter::AppendFoldedTexts(const CMp3File& track, const std::vector<EFieldId>& fields,
                                     std::string& out, std::string& scratch) {
    for (const EFieldId field : fields) {
        if (const auto text = track.TextView(field)) {
            CTextFold::AppendFolded(*text, out);
        } else {
            scratch.clear();
            track.AppendFieldText(field, scratch);
            CTextFold::AppendFolded(scratch, out);
        }
        out += '\t';
    }
}

std::vector<std::string> CTrackFilter::Words() const {
    std::vector<std::string> words;
    words.reserve(words_.size());
    for (const SWord& word : words_)
        words.push_back(word.folded);
    return words;
}

bool CTrackFilter::Narrows(const CTrackFilter& wider) const {
    return std::all_of(wider.words_.begin(), wider.words_.end(), [this](const SWord& old) {
        return std::any_of(words_.begin(), words_.end(), [&old](const SWord& word) {
            return word.folded.find(old.folded) != std::string::npos;
        });
    });
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
