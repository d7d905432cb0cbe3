#include "model/Id3v2Text.h"

#include "model/GenreTable.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr std::uint8_t kUtf16Bom = 1;
constexpr std::uint8_t kUtf16Be = 2;
constexpr char32_t kReplacement = 0xFFFD;

bool IsWide(std::uint8_t encoding) {
    return encoding == kUtf16Bom || encoding == kUtf16Be;
}

// At most 4 bytes, written at `out`; returns the end.
char* PutUtf8(char* out, char32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The units from `bytes`' start up to a zero unit, the string's end, written as UTF-8 at `out`;
// a surrogate without its other half becomes U+FFFD. Returns the end of what was written.
template <bool Little>
char* PutUtf16(std::span<const std::uint8_t> bytes, char* out) {
    const auto unit = [bytes](std::size_t at) -> char32_t {
        return Little ? (char32_t{bytes[at + 1]} << 8) | bytes[at]
                      : (char32_t{bytes[at]} << 8) | bytes[at + 1];
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c < 0x80) {
            if (c == 0)
                break;
            *out++ = static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = kReplacement;
        }
        out = PutUtf8(out, c);
    }
    return out;
}

// A mark FF FE says little-endian, FE FF big-endian; encoding 1 without a mark is read as
// little-endian, the order of the writers that leave it out. A unit becomes at most 3 bytes and
// a pair of them 4: the text is written into room for 3 a unit, then cut to what it took.
std::string DecodeUtf16(std::uint8_t encoding, std::span<const std::uint8_t> bytes) {
    bool little = encoding == kUtf16Bom;
    if (bytes.size() >= 2 && (bytes[0] == 0xFF || bytes[0] == 0xFE) &&
        (bytes[0] ^ bytes[1]) == 0x01) {
        little = bytes[0] == 0xFF;
        bytes = bytes.subspan(2);
    }
    std::string out(bytes.size() / 2 * 3, '\0');
    char* const begin = out.data();
    char* const end = little ? PutUtf16<true>(bytes, begin) : PutUtf16<false>(bytes, begin);
    out.resize(static_cast<std::size_t>(end - begin));
    return out;
}

int NameNumber(std::string_view text) {
    const auto same = [text](std::string_view name) {
        return std::equal(text.begin(), text.end(), name.begin(), name.end(), [](char a, char b) {
            const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
            return lower(a) == lower(b);
        });
    };
    const auto end = genreNames.begin() + kGenreNone;
    const auto found = std::find_if(genreNames.begin(), end, same);
    return found == end ? kGenreNone : static_cast<int>(found - genreNames.begin());
}

// Digits up to `text`'s end or its first non-digit; -1 when there are none or too many.
int LeadingNumber(std::string_view text, std::size_t& length) {
    int number = 0;
    length = 0;
    while (length < text.size() && text[length] >= '0' && text[length] <= '9' && length < 4)
        number = number * 10 + (text[length++] - '0');
    return length == 0 ? -1 : number;
}

// The bytes before the first terminator, or all of them.
std::size_t StringLength(std::uint8_t encoding, std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return 0;
    if (!IsWide(encoding)) {
        const void* nul = std::memchr(bytes.data(), 0, bytes.size());
        return nul == nullptr
                   ? bytes.size()
                   : static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - bytes.data());
    }
    for (std::size_t i = 0; i + 2 <= bytes.size(); i += 2) {
        if (bytes[i] == 0 && bytes[i + 1] == 0)
            return i;
    }
    return bytes.size();
}

} // namespace

bool CId3v2Text::IsKnownEncoding(std::uint8_t encoding) {
    return encoding <= kUtf8;
}

std::size_t CId3v2Text::TerminatedLength(std::uint8_t encoding,
                                         std::span<const std::uint8_t> bytes) {
    const std::size_t length = StringLength(encoding, bytes);
    return std::min(length + (IsWide(encoding) ? 2 : 1), bytes.size());
}

// A wide text ends at its first zero unit as it is decoded.
std::string CId3v2Text::Decode(std::uint8_t encoding, std::span<const std::uint8_t> bytes) {
    if (IsWide(encoding))
        return DecodeUtf16(encoding, bytes);
    const auto text = bytes.first(StringLength(encoding, bytes));
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

// Each string is taken with its terminator, so the next begins where it ends; in UTF-16 each
// has its own byte-order mark.
std::vector<std::string> CId3v2Text::DecodeAll(std::uint8_t encoding,
                                               std::span<const std::uint8_t> bytes) {
    std::vector<std::string> values;
    while (!bytes.empty()) {
        const std::size_t length = TerminatedLength(encoding, bytes);
        std::string value = Decode(encoding, bytes.first(length));
        if (!value.empty())
            values.push_back(std::move(value));
        bytes = bytes.subspan(length);
    }
    return values;
}

std::string CId3v2Text::FirstCharacters(std::string text, std::size_t count, bool latin1) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool continuation = !latin1 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && characters++ == count) {
            text.resize(i);
            break;
        }
    }
    return text;
}

std::uint8_t CId3v2Text::GenreNumber(std::string_view text) {
    std::size_t length = 0;
    int number = kGenreNone;
    if (text.size() > 2 && text[0] == '(') {
        const int n = LeadingNumber(text.substr(1), length);
        if (n >= 0 && length + 1 < text.size() && text[length + 1] == ')')
            number = n;
    } else if (const int n = LeadingNumber(text, length); n >= 0 && length == text.size()) {
        number = n;
    } else {
        number = NameNumber(text);
    }
    return static_cast<std::uint8_t>(number < kGenreNone ? number : kGenreNone);
}

void CId3v2Text::ReadGenre(std::string_view text, std::uint8_t& number,
                           std::optional<std::string>& name) {
    if (text.empty())
        return;
    if (text == "(RX)" || text == "(CR)") {
        name = text == "(RX)" ? "Remix" : "Cover";
        return;
    }
    const std::uint8_t found = GenreNumber(text);
    if (found != kGenreNone) {
        number = found;
        name.reset();
        return;
    }
    std::size_t length = 0;
    const bool numeric =
        text[0] == '(' || (LeadingNumber(text, length) >= 0 && length == text.size());
    if (!numeric)
        name = std::string(text);
}

std::uint16_t CId3v2Text::TrackNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    std::uint32_t number = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + static_cast<std::uint32_t>(text[i] - '0');
        if (number > UINT16_MAX)
            return 0;
    }
    const std::string_view rest = text.substr(i);
    if (i == 0 || (!rest.empty() && rest.front() != '/' && rest.front() != ' '))
        return 0;
    return static_cast<std::uint16_t>(number);
}

std::uint8_t CId3v2Text::Encode(std::string_view text, bool utf8, std::string& out) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || !CUtf8::IsValid(text)) {
        out.append(text);
        return kLatin1;
    }
    if (utf8) {
        out.append(text);
        return kUtf8;
    }
    const auto unit = [&out](char32_t c) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    };
    out += "\xFF\xFE";
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return kUtf16;
}

std::string_view CId3v2Text::Terminator(std::uint8_t encoding) {
    return IsWide(encoding) ? std::string_view("\0\0", 2) : std::string_view("\0", 1);
}
