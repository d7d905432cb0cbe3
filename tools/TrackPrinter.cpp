#include "tools/TrackPrinter.h"

#include "model/Mp3File.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>

namespace {

// What stands for the bytes that would break a line or a field.
constexpr std::string_view Escape(char c) {
    switch (c) {
    case '\t':
        return "\\t";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\\':
        return "\\\\";
    default:
        return {};
    }
}

constexpr auto kEscaped = [] {
    std::array<bool, 256> escaped{};
    for (int c = 0; c < 256; ++c)
        escaped[static_cast<std::size_t>(c)] = !Escape(static_cast<char>(c)).empty();
    return escaped;
}();

constexpr std::uint64_t kEveryByte = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

// Whether the text may need writing again: a byte that may have to be escaped, or, unless the
// text is known to be valid UTF-8, a byte that is not ASCII. Eight bytes at a time, as the tool
// looks at every byte it prints: (x - 14 * each) & ~x keeps a byte's high bit only when some
// byte is below 14 (tab, line feed and carriage return are among them), and x ^ '\\' * each has
// a zero byte where a backslash stands. A control code below 14 that needs no escape takes the
// slow road and comes out the same. The words' answers are gathered and looked at once, and the
// last eight bytes are a word of their own, overlapping the one before: no byte goes alone.
bool MayNeedAttention(std::string_view text, bool validUtf8 = false) {
    if (text.size() < 8) {
        return std::any_of(text.begin(), text.end(), [validUtf8](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return kEscaped[byte] || (byte >= 0x80 && !validUtf8);
        });
    }
    const std::uint64_t nonAscii = validUtf8 ? 0 : ~std::uint64_t{0};
    const auto flagged = [&text, nonAscii](std::size_t at) {
        std::uint64_t x = 0;
        std::memcpy(&x, text.data() + at, 8);
        const std::uint64_t backslash = x ^ (kEveryByte * '\\');
        const std::uint64_t low = (x - kEveryByte * 14) & ~x;
        const std::uint64_t noBackslash = (backslash - kEveryByte) & ~backslash;
        return ((x & nonAscii) | low | noBackslash) & kHighBits;
    };
    std::uint64_t any = flagged(text.size() - 8);
    for (std::size_t i = 0; i + 8 < text.size(); i += 8)
        any |= flagged(i);
    return any != 0;
}

// A file's place keeps its bytes, so that a script can open it; every other text is shown.
bool KeepsBytes(EFieldId field) {
    return field == EFieldId::File || field == EFieldId::Location;
}

// The text as the line must hold it, written into `out` (which `text` must not be). A text that
// is not UTF-8 shows as Latin-1: each byte from 0x80 on becomes its two-byte sequence, and the
// bytes to escape are all ASCII, so one pass does both.
std::string_view Careful(std::string& out, EFieldId field, std::string_view text) {
    out.clear();
    if (KeepsBytes(field) || CUtf8::IsValid(text)) {
        CTrackPrinter::AppendEscaped(out, text);
        return out;
    }
    out.resize(text.size() * 2); // no byte takes more than two
    char* at = out.data();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            *at++ = static_cast<char>(0xC0 | (byte >> 6));
            *at++ = static_cast<char>(0x80 | (byte & 0x3F));
        } else if (kEscaped[byte]) {
            const std::string_view escape = Escape(c);
            at = std::copy(escape.begin(), escape.end(), at);
        } else {
            *at++ = c;
        }
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    return out;
}

bool Within(std::string_view text, std::string_view block) {
    const std::less<const char*> before;
    return !before(text.data(), block.data()) &&
           !before(block.data() + block.size(), text.data() + text.size());
}

} // namespace

// Runs of plain bytes go in whole: the tool prints every field of every track.
void CTrackPrinter::AppendEscaped(std::string& line, std::string_view text) {
    if (!MayNeedAttention(text, true)) {
        line.append(text);
        return;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!kEscaped[static_cast<unsigned char>(text[i])])
            continue;
        line.append(text.substr(start, i - start));
        line += Escape(text[i]);
        start = i + 1;
    }
    line.append(text.substr(start));
}

// The track's own texts are looked at once for all its fields. Any other text is the folder's
// or a table's, alive and unchanged while the tool prints: at the same place as the field's
// last one, it is the same text. Asked of every field of every track, and most often answered
// at once: taken into the line's loop, the answer costs no call.
[[gnu::always_inline]] inline bool CTrackPrinter::IsPlain(EFieldId field, std::string_view text,
                                                          std::string_view own, bool ownPlain) {
    // Texts of a track whose texts are not all UTF-8, or that hold a byte to escape, are looked
    // at one by one: most of them still go in as they are.
    if (Within(text, own))
        return ownPlain || !MayNeedAttention(text, KeepsBytes(field));
    SSeen& seen = seen_[static_cast<std::size_t>(field)];
    if (seen.data != text.data() || seen.size != text.size())
        seen = {text.data(), text.size(), !MayNeedAttention(text, KeepsBytes(field))};
    return seen.plain;
}

// The texts are gathered first, then go into the line in one piece.
void CTrackPrinter::AppendLine(std::string& line, const CMp3File& track) {
    const std::string_view own = track.OwnTexts();
    // Texts that are not all UTF-8 hold a byte beyond ASCII: they are looked at one by one.
    const bool ownPlain = track.OwnTextsUtf8() && !MayNeedAttention(own, true);
    CMp3File::FieldViews views;
    track.AllTextViews(views);
    std::array<std::string_view, kFieldCount> texts;
    std::size_t total = kFieldCount - 1;
    for (int id = 1; id <= kFieldCount; ++id) {
        const auto field = static_cast<EFieldId>(id);
        std::string& scratch = scratch_[static_cast<std::size_t>(id)];
        std::string_view& text = texts[static_cast<std::size_t>(id - 1)];
        if (field != EFieldId::Size && field != EFieldId::Time && field != EFieldId::Track &&
            field != EFieldId::Disc) {
            text = views[static_cast<std::size_t>(id)];
            if (!text.empty() && !IsPlain(field, text, own, ownPlain))
                text = Careful(scratch, field, text);
        } else if (field == EFieldId::Size) {
            // The size's unit comes from the string table, so it is looked at too.
            scratch.clear();
            CMp3File::AppendSize(scratch, track.SizeK());
            text = MayNeedAttention(scratch) ? Careful(scratch, field, std::string(scratch))
                                             : std::string_view(scratch);
        } else {
            // The time, the track and the disc numbers are digits and colons alone.
            scratch.clear();
            if (field == EFieldId::Time)
                CMp3File::AppendDuration(scratch, track.Duration());
            else
                track.AppendFieldText(field, scratch);
            text = scratch;
        }
        total += text.size();
    }
    const std::size_t start = line.size();
    line.resize(start + total);
    char* out = line.data() + start;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i != 0)
            *out++ = '\t';
        if (!texts[i].empty())
            std::memcpy(out, texts[i].data(), texts[i].size());
        out += texts[i].size();
    }
}
