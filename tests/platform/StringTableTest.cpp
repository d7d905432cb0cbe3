#include "platform/StringTable.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using ELanguage = CStringTable::ELanguage;

// The printf directives and "%1"-style placeholders of a text, in order. Digits after "%" that
// no "." or letter follows are a placeholder's number, as in "%1 of %2".
std::vector<std::string> Placeholders(std::string_view text) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        // Flags come before the width: "%5.1f", "% d"; "%1 tracks" is a placeholder and a word.
        std::size_t end = i + 1;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        if (end > i + 1 &&
            (end == text.size() ||
             (text[end] != '.' && !std::isalpha(static_cast<unsigned char>(text[end]))))) {
            found.emplace_back(text.substr(i, end - i));
            i = end - 1;
            continue;
        }
        while (end < text.size() &&
               std::string_view("-+ 0").find(text[end]) != std::string_view::npos)
            ++end;
        while (end < text.size() &&
               std::string_view("0123456789.").find(text[end]) != std::string_view::npos)
            ++end;
        if (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])))
            ++end;
        found.emplace_back(text.substr(i, end - i));
        i = end - 1;
    }
    return found;
}

// Commands have the numbers from 32768 up; their texts are "prompt\ntooltip".
constexpr int kFirstCommandId = 32768;

TEST(StringTable, EveryIdHasAnEnglishAndAFrenchText) {
    const std::vector<int> ids = CStringTable::Ids();
    ASSERT_GE(ids.size(), 60u);
    EXPECT_TRUE(std::adjacent_find(ids.begin(), ids.end(), [](int a, int b) { return a >= b; }) ==
                ids.end());
    for (int id : ids) {
        EXPECT_FALSE(CStringTable::ById(id, ELanguage::English).empty()) << id;
        EXPECT_FALSE(CStringTable::ById(id, ELanguage::French).empty()) << id;
    }
    EXPECT_EQ(CStringTable::Get(EStringId::Undefined),
              CStringTable::Get(EStringId::Undefined, CStringTable::Language()));
}

TEST(StringTable, UnknownIdsGiveEmptyTexts) {
    for (int id : {0, -1, 2, 101, 120, 151, 899, 999, 32770, 59412, 1 << 30}) {
        EXPECT_TRUE(CStringTable::ById(id, ELanguage::English).empty()) << id;
        EXPECT_TRUE(CStringTable::ById(id, ELanguage::French).empty()) << id;
    }
}

TEST(StringTable, PlaceholdersAgreeBetweenLanguages) {
    for (int id : CStringTable::Ids()) {
        EXPECT_EQ(Placeholders(CStringTable::ById(id, ELanguage::English)),
                  Placeholders(CStringTable::ById(id, ELanguage::French)))
            << id;
    }
    EXPECT_EQ(Placeholders(CStringTable::Get(EStringId::SizeFormat, ELanguage::French)),
              std::vector<std::string>{"%5.1f"});
    EXPECT_EQ(Placeholders(CStringTable::Get(EStringId::MsgFileNotFound, ELanguage::French)),
              std::vector<std::string>{"%1"});
}

TEST(StringTable, CommandStringsHoldPromptAndTooltip) {
    for (int id : CStringTable::Ids()) {
        if (id < kFirstCommandId)
            continue;
        for (ELanguage language : {ELanguage::English, ELanguage::French}) {
            const std::string_view text = CStringTable::ById(id, language);
            const std::size_t cut = text.find('\n');
            ASSERT_NE(cut, std::string_view::npos) << id;
            EXPECT_EQ(text.find('\n', cut + 1), std::string_view::npos) << id;
            EXPECT_GT(cut, 0u) << id;
            EXPECT_LT(cut + 1, text.size()) << id;
        }
    }
}

// The validation messages speak the window's language.
TEST(StringTable, ValidationMessagesAreInTheWindowsLanguage) {
    for (EStringId id :
         {EStringId::MsgEnterInteger, EStringId::MsgEnterIntegerRange, EStringId::MsgMaxCharacters})
        EXPECT_NE(CStringTable::Get(id, ELanguage::English),
                  CStringTable::Get(id, ELanguage::French));
    EXPECT_EQ(CStringTable::Get(EStringId::MsgMaxCharacters, ELanguage::English),
              "Enter at most %1 characters.");
}

TEST(StringTable, LanguageComesFromTheEnvironment) {
    std::vector<std::unique_ptr<CScopedEnv>> environment;
    const auto Set = [&](const char* name, const char* value) {
        environment.push_back(std::make_unique<CScopedEnv>(name, value));
    };
    for (const char* name : {"QUAVERO_LANG", "LC_ALL", "LC_MESSAGES", "LANG"})
        Set(name, nullptr);
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::English);

    Set("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::French);
    Set("LC_MESSAGES", "C");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::English);
    Set("LC_ALL", "fr_CA.UTF-8");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::French);

    Set("QUAVERO_LANG", "en");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::English);
    Set("QUAVERO_LANG", "fr");
    Set("LC_ALL", "en_GB.UTF-8");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::French);

    Set("QUAVERO_LANG", "");
    Set("LC_ALL", "");
    Set("LC_MESSAGES", "");
    Set("LANG", "en_US.UTF-8");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::English);
}

} // namespace
