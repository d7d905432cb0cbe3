#include "catalog/SortName.h"

#include "platform/Utf8.h"

#include <array>
#include <cstdint>

namespace {

// U+00C0 to U+00FF as plain lower-case letters; the signs of multiplication and division stay.
constexpr std::array<const char*, 64> kLatin1 = {
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y"};

// Latin Extended-A (U+0100 to U+017F) by runs of one base letter.
struct SRun {
    char32_t last;
    const char* base;
};
constexpr SRun kExtendedA[] = {
    {0x105, "a"}, {0x10D, "c"},  {0x111, "d"}, {0x11B, "e"}, {0x123, "g"}, {0x127, "h"},
    {0x131, "i"}, {0x133, "ij"}, {0x135, "j"}, {0x138, "k"}, {0x142, "l"}, {0x14B, "n"},
    {0x151, "o"}, {0x153, "oe"}, {0x159, "r"}, {0x161, "s"}, {0x167, "t"}, {0x173, "u"},
    {0x175, "w"}, {0x178, "y"},  {0x17E, "z"}, {0x17F, "s"},
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next character of valid UTF-8.
char32_t Next(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    const int more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t c = more == 0 ? lead : lead & (0x3Fu >> more);
    for (int i = 0; i < more && at < text.size(); ++i)
        c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3Fu);
    return c;
}

void AppendFolded(std::string& out, char32_t c) {
    if (c >= 'A' && c <= 'Z')
        out += static_cast<char>(c - 'A' + 'a');
    else if (c >= 0xC0 && c <= 0xFF && kLatin1[c - 0xC0] != nullptr)
        out += kLatin1[c - 0xC0];
    else if (c >= 0x100 && c <= 0x17F)
        for (const SRun& run : kExtendedA) {
            if (c <= run.last) {
                out += run.base;
                break;
            }
        }
    else if (c == 0x2018 || c == 0x2019 || c == 0x02BC)
        out += '\'';
    else if ((c >= 0x391 && c <= 0x3A9) || (c >= 0x410 && c <= 0x42F)) // Greek, Cyrillic
        AppendUtf8(out, c + 0x20);
    else if (c >= 0x400 && c <= 0x40F)
        AppendUtf8(out, c + 0x50);
    else
        AppendUtf8(out, c);
}

} // namespace

CSortName::CSortName(std::string_view articles) {
    while (!articles.empty()) {
        const std::size_t end = articles.find(';');
        std::string article = Fold(articles.substr(0, end));
        if (!article.empty())
            articles_.push_back(std::move(article));
        articles.remove_prefix(end == std::string_view::npos ? articles.size() : end + 1);
    }
}

std::string CSortName::Fold(std::string_view bytes) {
    const std::string shown = CUtf8::DisplayText(bytes);
    std::string folded;
    folded.reserve(shown.size());
    for (std::size_t at = 0; at < shown.size();)
        AppendFolded(folded, Next(shown, at));
    return folded;
}

// "the beatles" becomes "beatles, the" and "l'arc" "arc, l'"; an article alone stays.
std::string CSortName::Key(std::string_view name, std::string_view sortTag) const {
    std::string key = Fold(sortTag.empty() ? name : sortTag);
    if (!sortTag.empty())
        return key;
    for (const std::string& article : articles_) {
        const bool joined = article.back() == '\'';
        const std::size_t rest = article.size() + (joined ? 0 : 1);
        if (key.size() > rest && key.starts_with(article) && (joined || key[article.size()] == ' '))
            return key.substr(rest) + ", " + article;
    }
    return key;
}
