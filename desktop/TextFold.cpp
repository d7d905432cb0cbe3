#include "desktop/TextFold.h"

#include "platform/Ascii.h"
#include "platform/Utf8.h"

#include <QList>

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

bool IsAccent(char32_t c) {
    constexpr std::array<std::pair<char32_t, char32_t>, 5> kBlocks{
        {{0x0300, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F}}};
    return std::any_of(kBlocks.begin(), kBlocks.end(),
                       [c](const auto& block) { return c >= block.first && c <= block.second; });
}

// The Latin letters, whose folds a table holds; it is made from Fold itself, so the two agree.
// No fold there is longer than a few bytes ("ŉ" is "ʼn").
constexpr char32_t kTableEnd = 0x250;
struct SFolded {
    std::array<char, 7> bytes{};
    std::uint8_t size = 0;
};
using FoldTable = std::array<SFolded, kTableEnd>;

const FoldTable& Table() {
    static const FoldTable table = [] {
        FoldTable folded;
        for (char32_t c = 0; c < kTableEnd; ++c) {
            const std::string bytes = CTextFold::Fold(QString::fromUcs4(&c, 1)).toStdString();
            SFolded& entry = folded[c];
            entry.size = static_cast<std::uint8_t>(std::min(bytes.size(), entry.bytes.size()));
            std::copy_n(bytes.begin(), entry.size, entry.bytes.begin());
        }
        return folded;
    }();
    return table;
}

void AppendUtf8(char32_t c, std::string& out) {
    const auto byte = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (c < 0x80) {
        byte(c);
        return;
    }
    if (c < 0x800) {
        byte(0xC0 | c >> 6);
    } else if (c < 0x10000) {
        byte(0xE0 | c >> 12);
        byte(0x80 | (c >> 6 & 0x3F));
    } else {
        byte(0xF0 | c >> 18);
        byte(0x80 | (c >> 12 & 0x3F));
        byte(0x80 | (c >> 6 & 0x3F));
    }
    byte(0x80 | (c & 0x3F));
}

// The code point at `at` of valid UTF-8 (CUtf8::IsValid), and `at` moved past it.
char32_t NextCodePoint(std::string_view bytes, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(bytes[at++]);
    const int length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i)
        c = c << 6 | (static_cast<unsigned char>(bytes[at++]) & 0x3F);
    return c;
}

// Past the table a character is decomposed, its parts folded in turn; one without
// decomposition takes its simple case fold, which differs from the full one only where it
// lands in the table (U+1E9E to "ss").
void AppendFoldedCodePoint(char32_t c, const FoldTable& table, std::string& out) {
    if (c < kTableEnd) {
        out.append(table[c].bytes.data(), table[c].size);
    } else if (IsAccent(c)) {
        return;
    } else if (QChar::decompositionTag(c) != QChar::NoDecomposition) {
        for (const char32_t part : QChar::decomposition(c).toUcs4())
            AppendFoldedCodePoint(part, table, out);
    } else if (const char32_t folded = QChar::toCaseFolded(c); folded < kTableEnd) {
        out.append(table[folded].bytes.data(), table[folded].size);
    } else {
        AppendUtf8(folded, out);
    }
}

} // namespace

QString CTextFold::Fold(const QString& text) {
    QString folded = text.normalized(QString::NormalizationForm_KD).toCaseFolded();
    folded.removeIf([](QChar c) { return IsAccent(c.unicode()); });
    return folded;
}

// The text's lead in plain ASCII, most of most texts, is only lowered; it reads the same in
// UTF-8 and in Latin-1, so the rest alone tells which of the two the text is in.
void CTextFold::AppendFolded(std::string_view bytes, std::string& out) {
    const auto plain =
        std::find_if(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
    const std::size_t lead = static_cast<std::size_t>(plain - bytes.begin());
    const std::size_t start = out.size();
    out.append(bytes.substr(0, lead));
    std::transform(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
                   out.begin() + static_cast<std::ptrdiff_t>(start), CAscii::Lower);
    if (lead == bytes.size())
        return;
    const FoldTable& table = Table();
    const bool utf8 = CUtf8::IsValid(bytes.substr(lead));
    for (std::size_t at = lead; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            out += CAscii::Lower(static_cast<char>(byte));
            ++at;
        } else if (!utf8) {
            AppendFoldedCodePoint(byte, table, out);
            ++at;
        } else {
            AppendFoldedCodePoint(NextCodePoint(bytes, at), table, out);
        }
    }
}
