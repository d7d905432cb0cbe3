#pragma once

#include <string_view>
#include <vector>

// The program's texts by string id, in English and French. French is chosen when the user's
// language is French; QUAVERO_LANG=en|fr overrides the locale.
class CStringTable {
public:
    enum class ELanguage { English, French };

    static std::string_view Get(int id);
    static std::string_view Get(int id, ELanguage language);
    static ELanguage Language();
    static ELanguage LanguageFromEnvironment();
    // Every id of the table, in increasing order.
    static std::vector<int> Ids();
};
