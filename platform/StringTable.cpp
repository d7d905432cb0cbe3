#include "platform/StringTable.h"

#include "platform/StringIds.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

struct SEntry {
    int id;
    std::string_view english;
    std::string_view french;
};

// Sorted by id: looked up by binary search.
constexpr std::array kStrings{
    SEntry{StringId::kAppTitle, "Quavero", "Quavero"},
    SEntry{StringId::kPropertiesCaption, "Properties", "Propriétés"},
    SEntry{StringId::kLabelFile, "File", "Fichier"},
    SEntry{StringId::kLabelLocation, "Location", "Emplacement"},
    SEntry{StringId::kLabelTitle, "Title", "Titre"},
    SEntry{StringId::kLabelArtist, "Artist", "Artiste"},
    SEntry{StringId::kLabelAlbum, "Album", "Album"},
    SEntry{StringId::kLabelDate, "Date", "Date"},
    SEntry{StringId::kLabelGenre, "Genre", "Genre"},
    SEntry{StringId::kLabelComment, "Comment", "Commentaire"},
    SEntry{StringId::kUndefined, "<Undefined>", "<Indéfini>"},
    SEntry{StringId::kLabelSize, "Size", "Taille"},
    SEntry{StringId::kTagWriteFailed, "Failed to create or modify ID3 tag !",
           "Impossible de créer ou de modifier le tag ID3 !"},
    SEntry{StringId::kSizeFormat, "%5.1f MB", "%5.1f Mo"},
    SEntry{StringId::kLabelTime, "Time", "Durée"},
    SEntry{StringId::kLabelBitrate, "Bitrate", "Débit"},
    SEntry{StringId::kLabelFrequency, "Frequency", "Fréquence"},
    SEntry{StringId::kLabelMode, "Mode", "Mode"},
    SEntry{StringId::kLabelMpegLayer, "MPEG/Layer", "MPEG/Couche"},
    SEntry{StringId::kFavorites, "My favorite addresses", "Mes adresses favorites"},
    SEntry{StringId::kNotAssigned, "Not assigned", "Non attribué"},
    SEntry{StringId::kErrorOpeningFile,
           "Error opening file: ", "Erreur à l'ouverture du fichier : "},
    SEntry{StringId::kInvalidHandle, "Invalid handle", "Descripteur invalide"},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const SEntry& a, const SEntry& b) { return a.id < b.id; }));

bool StartsWithFrench(const char* value) {
    return value != nullptr && value[0] == 'f' && value[1] == 'r';
}

} // namespace

std::string_view CStringTable::Get(int id) {
    return Get(id, Language());
}

std::string_view CStringTable::Get(int id, ELanguage language) {
    const auto it = std::lower_bound(kStrings.begin(), kStrings.end(), id,
                                     [](const SEntry& e, int key) { return e.id < key; });
    if (it == kStrings.end() || it->id != id)
        return {};
    return language == ELanguage::French ? it->french : it->english;
}

CStringTable::ELanguage CStringTable::Language() {
    static const ELanguage language = LanguageFromEnvironment();
    return language;
}

// The first of LC_ALL, LC_MESSAGES and LANG that is set decides, as for any program's messages.
CStringTable::ELanguage CStringTable::LanguageFromEnvironment() {
    if (const char* forced = std::getenv("QUAVERO_LANG"); forced != nullptr && forced[0] != 0)
        return StartsWithFrench(forced) ? ELanguage::French : ELanguage::English;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != 0)
            return StartsWithFrench(value) ? ELanguage::French : ELanguage::English;
    }
    return ELanguage::English;
}
