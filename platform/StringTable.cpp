#include "platform/StringTable.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

struct SEntry {
    constexpr SEntry(EStringId key, std::string_view en, std::string_view fr)
        : id(static_cast<int>(key)), english(en), french(fr) {}
    constexpr SEntry(ECommandId key, std::string_view en, std::string_view fr)
        : id(static_cast<int>(key)), english(en), french(fr) {}

    int id;
    std::string_view english;
    std::string_view french;
};

// Sorted by id: looked up by binary search. The entries are counted by a plain array first: an
// array deduced from hundreds of them exceeds what a compiler nests in one expression.
constexpr SEntry kEntries[] = {
#include "platform/StringTableData.inc"
};
constexpr auto kStrings = std::to_array(kEntries);

// Strictly increasing: sorted and no id twice.
static_assert(std::adjacent_find(kStrings.begin(), kStrings.end(),
                                 [](const SEntry& a, const SEntry& b) { return a.id >= b.id; }) ==
              kStrings.end());

bool StartsWithFrench(const char* value) {
    return value != nullptr && value[0] == 'f' && value[1] == 'r';
}

} // namespace

std::vector<int> CStringTable::Ids() {
    std::vector<int> ids;
    ids.reserve(kStrings.size());
    for (const SEntry& entry : kStrings)
        ids.push_back(entry.id);
    return ids;
}

std::string_view CStringTable::ById(int id, ELanguage language) {
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
