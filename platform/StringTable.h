#pragma once

#include "platform/CommandIds.h"
#include "platform/StringIds.h"

#include <string_view>
#include <vector>

// The program's texts by string id, in English and French. French is chosen when the user's
// language is French; QUAVERO_LANG=en|fr overrides the locale. A command's text, its prompt and
// tooltip, has the command's own number.
class CStringTable {
public:
    enum class ELanguage { English, French };

    static std::string_view Get(EStringId id) { return ById(static_cast<int>(id), Language()); }
    static std::string_view Get(ECommandId id) { return ById(static_cast<int>(id), Language()); }
    static std::string_view Get(EStringId id, ELanguage language) {
        return ById(static_cast<int>(id), language);
    }
    // Empty for a number the table does not hold.
    static std::string_view ById(int id, ELanguage language);
    static ELanguage Language();
    static ELanguage LanguageFromEnvironment();
    // Every id of the table, in increasing order.
    static std::vector<int> Ids();
};
