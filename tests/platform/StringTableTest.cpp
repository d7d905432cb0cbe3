#include "platform/StringTable.h"
#include "platform/StringIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using ELanguage = CStringTable::ELanguage;

// Sets the language variables for one test and puts the old values back afterwards.
class CLanguageEnvironment {
public:
    CLanguageEnvironment() {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    ~CLanguageEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
    }
    CLanguageEnvironment(const CLanguageEnvironment&) = delete;
    CLanguageEnvironment& operator=(const CLanguageEnvironment&) = delete;

    static void Set(const char* name, const char* value) { setenv(name, value, 1); }

private:
    static constexpr std::array kNames{"QUAVERO_LANG", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// The printf directives and "%1"-style placeholders of a text, in order.
std::vector<std::string> Placeholders(std::string_view text) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        std::size_t end = i + 1;
        while (end < text.size() &&
               std::string_view("-+ 0123456789.").find(text[end]) != std::string_view::npos)
            ++end;
        if (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])))
            ++end;
        found.emplace_back(text.substr(i, end - i));
        i = end - 1;
    }
    return found;
}

constexpr std::array kCommandIds{
    StringId::kCmdPlay,
    StringId::kCmdEnqueue,
    StringId::kCmdProperties,
    StringId::kCmdAddressBar,
    StringId::kCmdTextLabels,
    StringId::kCmdOptions,
    StringId::kCmdModeAlbumArtist,
    StringId::kCmdModeArtist,
    StringId::kCmdModeGenreArtist,
    StringId::kCmdDisplayAll,
    StringId::kCmdRefresh,
    StringId::kCmdCopy,
    StringId::kCmdSelectAll,
    StringId::kCmdAbout,
    StringId::kCmdExit,
    StringId::kCmdStandardButtons,
    StringId::kCmdStatusBar,
    StringId::kCmdSmallIcons,
    StringId::kCmdLargeIcons,
    StringId::kCmdList,
    StringId::kCmdDetails,
};

TEST(StringTable, EveryIdHasAnEnglishAndAFrenchText) {
    const std::vector<int> ids = CStringTable::Ids();
    ASSERT_GE(ids.size(), 60u);
    EXPECT_TRUE(std::adjacent_find(ids.begin(), ids.end(), [](int a, int b) { return a >= b; }) ==
                ids.end());
    for (int id : ids) {
        EXPECT_FALSE(CStringTable::Get(id, ELanguage::English).empty()) << id;
        EXPECT_FALSE(CStringTable::Get(id, ELanguage::French).empty()) << id;
        EXPECT_EQ(CStringTable::Get(id), CStringTable::Get(id, CStringTable::Language())) << id;
    }
    for (int id : kCommandIds)
        EXPECT_TRUE(std::binary_search(ids.begin(), ids.end(), id)) << id;
}

TEST(StringTable, UnknownIdsGiveEmptyTexts) {
    for (int id : {0, -1, 2, 101, 120, 151, 899, 999, 32770, 59412, 1 << 30}) {
        EXPECT_TRUE(CStringTable::Get(id, ELanguage::English).empty()) << id;
        EXPECT_TRUE(CStringTable::Get(id, ELanguage::French).empty()) << id;
        EXPECT_TRUE(CStringTable::Get(id).empty()) << id;
    }
}

TEST(StringTable, PlaceholdersAgreeBetweenLanguages) {
    for (int id : CStringTable::Ids()) {
        EXPECT_EQ(Placeholders(CStringTable::Get(id, ELanguage::English)),
                  Placeholders(CStringTable::Get(id, ELanguage::French)))
            << id;
    }
    EXPECT_EQ(Placeholders(CStringTable::Get(StringId::kSizeFormat, ELanguage::French)),
              std::vector<std::string>{"%5.1f"});
    EXPECT_EQ(Placeholders(CStringTable::Get(StringId::kMsgFileNotFound, ELanguage::French)),
              std::vector<std::string>{"%1"});
}

TEST(StringTable, CommandStringsHoldPromptAndTooltip) {
    for (int id : kCommandIds) {
        for (ELanguage language : {ELanguage::English, ELanguage::French}) {
            const std::string_view text = CStringTable::Get(id, language);
            const std::size_t cut = text.find('\n');
            ASSERT_NE(cut, std::string_view::npos) << id;
            EXPECT_EQ(text.find('\n', cut + 1), std::string_view::npos) << id;
            EXPECT_GT(cut, 0u) << id;
            EXPECT_LT(cut + 1, text.size()) << id;
        }
    }
    // The tool bar's tooltips, after the line break.
    const std::pair<int, std::string_view> tooltips[] = {
        {StringId::kCmdPlay, "Play"},
        {StringId::kCmdEnqueue, "Enqueue"},
        {StringId::kCmdCopy, "Copy"},
        {StringId::kCmdProperties, "Properties"},
        {StringId::kCmdModeArtist, "Artist"},
        {StringId::kCmdModeGenreArtist, "Genre / Artist"},
        {StringId::kCmdModeAlbumArtist, "Album / Artist"},
        {StringId::kCmdDisplayAll, "Selection/All columns"},
        {StringId::kCmdLargeIcons, "Large Icons"},
        {StringId::kCmdSmallIcons, "Small Icons"},
        {StringId::kCmdList, "List"},
        {StringId::kCmdDetails, "Details"},
    };
    for (const auto& [id, tooltip] : tooltips) {
        const std::string_view text = CStringTable::Get(id, ELanguage::English);
        EXPECT_EQ(text.substr(text.find('\n') + 1), tooltip) << id;
    }
}

TEST(StringTable, MessagesKeepTheirExactEnglishText) {
    const std::pair<int, std::string_view> texts[] = {
        {StringId::kMsgClipboardFailed, "Failed to open Clipboard!"},
        {StringId::kMsgEnqueueFailed, "Your player doesn't support the command : '%1'."},
        {StringId::kMsgPlayManyFailed,
         "For multiple selections, your player should accept 'M3U' file type. "},
        {StringId::kMsgPlayOneFailed,
         "No association found between 'MP3' files and a player, \nor command '%1' not "
         "supported."},
        {StringId::kMsgFileNotFound,
         "File  '%1' not found !\nDo you want to refresh displayed information ?"},
        {StringId::kFileCountFormat, "%d file(s)"},
        {StringId::kSelectedCountFormat, "%d selected files"},
        {StringId::kOneSelectedFile, "1 selected file"},
        {StringId::kLabelAddress, "Address"},
        {StringId::kOptionsCaption, "Options"},
        {StringId::kAboutCaption, "About ..."},
        {StringId::kButtonProperties, "Prop."},
        {StringId::kButtonAll, "All"},
        {StringId::kDocumentStrings, "Quavero\n\nCadenz\n\n\nQuav.Document\nCadenz Document"},
    };
    for (const auto& [id, text] : texts)
        EXPECT_EQ(CStringTable::Get(id, ELanguage::English), text) << id;
    // The validation messages exist in French only.
    for (int id : {StringId::kMsgEnterInteger, StringId::kMsgEnterIntegerRange,
                   StringId::kMsgMaxCharacters}) {
        EXPECT_EQ(CStringTable::Get(id, ELanguage::English),
                  CStringTable::Get(id, ELanguage::French));
        EXPECT_EQ(CStringTable::Get(id, ELanguage::English).substr(0, 6), "Tapez ");
    }
    EXPECT_NE(CStringTable::Get(StringId::kFavorites, ELanguage::English),
              CStringTable::Get(StringId::kFavorites, ELanguage::French));
}

TEST(StringTable, LanguageComesFromTheEnvironment) {
    CLanguageEnvironment environment;
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::English);

    CLanguageEnvironment::Set("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::French);
    CLanguageEnvironment::Set("LC_MESSAGES", "C");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::English);
    CLanguageEnvironment::Set("LC_ALL", "fr_CA.UTF-8");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::French);

    CLanguageEnvironment::Set("QUAVERO_LANG", "en");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::English);
    CLanguageEnvironment::Set("QUAVERO_LANG", "fr");
    CLanguageEnvironment::Set("LC_ALL", "en_GB.UTF-8");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::French);

    CLanguageEnvironment::Set("QUAVERO_LANG", "");
    CLanguageEnvironment::Set("LC_ALL", "");
    CLanguageEnvironment::Set("LC_MESSAGES", "");
    CLanguageEnvironment::Set("LANG", "en_US.UTF-8");
    EXPECT_EQ(CStringTable::LanguageFromEnvironment(), ELanguage::English);
}

} // namespace
