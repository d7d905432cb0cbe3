#include "platform/Utf8.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>

namespace {

// The well-formed sequences (RFC 3629) as a machine of nine states, each a multiple of 6 so
// that a byte's row of 64 bits holds every state's next state, 6 bits each: one load and one
// shift a byte, with no branch on what the byte is. A mismatch leads to kError, which stays.
enum : std::uint8_t {
    kAccept = 0,
    kError = 6,
    kNeed1 = 12, // one more continuation byte, 80..BF
    kNeed2 = 18,
    kNeed3 = 24,
    kAfterE0 = 30, // A0..BF, then one more: below A0 is overlong
    kAfterED = 36, // 80..9F, then one more: above 9F are UTF-16 surrogates
    kAfterF0 = 42, // 90..BF, then two more: below 90 is overlong
    kAfterF4 = 48, // 80..8F, then two more: above 8F is beyond U+10FFFF
};

constexpr std::array<std::uint64_t, 256> MakeRows() {
    std::array<std::uint64_t, 256> rows{};
    const auto to = [&rows](int low, int high, std::uint8_t from, std::uint8_t next) {
        for (int b = low; b <= high; ++b) {
            std::uint64_t& row = rows[static_cast<std::size_t>(b)];
            row = (row & ~(std::uint64_t{63} << from)) | std::uint64_t{next} << from;
        }
    };
    // What is not set below leads to kError.
    for (std::uint8_t state = kAccept; state <= kAfterF4; state += 6)
        to(0x00, 0xFF, state, kError);
    to(0x00, 0x7F, kAccept, kAccept);
    to(0xC2, 0xDF, kAccept, kNeed1);
    to(0xE0, 0xE0, kAccept, kAfterE0);
    to(0xE1, 0xEC, kAccept, kNeed2);
    to(0xED, 0xED, kAccept, kAfterED);
    to(0xEE, 0xEF, kAccept, kNeed2);
    to(0xF0, 0xF0, kAccept, kAfterF0);
    to(0xF1, 0xF3, kAccept, kNeed3);
    to(0xF4, 0xF4, kAccept, kAfterF4);
    to(0x80, 0xBF, kNeed1, kAccept);
    to(0x80, 0xBF, kNeed2, kNeed1);
    to(0x80, 0xBF, kNeed3, kNeed2);
    to(0xA0, 0xBF, kAfterE0, kNeed1);
    to(0x80, 0x9F, kAfterED, kNeed1);
    to(0x90, 0xBF, kAfterF0, kNeed2);
    to(0x80, 0x8F, kAfterF4, kNeed2);
    return rows;
}

constexpr std::array<std::uint64_t, 256> kRows = MakeRows();

} // namespace

// Most texts are plain ASCII, and most others are ASCII between a few sequences: eight bytes
// that are all ASCII are passed over at once where no sequence is open; others go through the
// machine byte by byte. Only the low 6 bits of `state` are the state: the shift takes no more
// (as the processor's shift instruction does), so the step is a load and a shift.
bool CUtf8::IsValid(std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::uint64_t state = kAccept;
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= size; i += sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, data + i, sizeof word);
        if ((state & 63) == kAccept && (word & kHighBits) == 0)
            continue;
        for (std::size_t k = 0; k < sizeof word; ++k)
            state = kRows[data[i + k]] >> (state & 63);
        if ((state & 63) == kError) // a Latin-1 text fails at its first letter beyond ASCII
            return false;
    }
    for (; i < size; ++i)
        state = kRows[data[i]] >> (state & 63);
    return (state & 63) == kAccept;
}

std::string CUtf8::DisplayText(std::string_view bytes) {
    if (IsValid(bytes))
        return std::string(bytes);
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
            continue;
        }
        text += static_cast<char>(0xC0 | (byte >> 6));
        text += static_cast<char>(0x80 | (byte & 0x3F));
    }
    return text;
}

namespace {

// The characters of a text as it shows: decoded from valid UTF-8, else one per byte.
class CShownCharacters {
public:
    CShownCharacters(std::string_view bytes, bool utf8) : bytes_(bytes), utf8_(utf8) {}

    bool AtEnd() const { return at_ >= bytes_.size(); }
    char32_t Next() {
        const auto lead = static_cast<unsigned char>(bytes_[at_++]);
        if (!utf8_ || lead < 0x80)
            return lead;
        const std::size_t length = lead < 0xE0 ? 2 : (lead < 0xF0 ? 3 : 4); // text known valid
        char32_t c = lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k)
            c = c << 6 | (static_cast<unsigned char>(bytes_[at_++]) & 0x3F);
        return c;
    }

private:
    std::string_view bytes_;
    bool utf8_;
    std::size_t at_ = 0;
};

int Sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

} // namespace

int CUtf8::CompareShown(std::string_view a, std::string_view b) {
    const bool utf8 = IsValid(a);
    if (utf8 == IsValid(b))
        return Sign(a.compare(b));
    CShownCharacters left(a, utf8);
    CShownCharacters right(b, !utf8);
    while (!left.AtEnd() && !right.AtEnd()) {
        const char32_t l = left.Next();
        const char32_t r = right.Next();
        if (l != r)
            return l < r ? -1 : 1;
    }
    return left.AtEnd() ? (right.AtEnd() ? 0 : -1) : 1;
}

bool CUtf8::SameShown(std::string_view a, std::string_view b) {
    return a == b || (IsValid(a) != IsValid(b) && CompareShown(a, b) == 0);
}

std::size_t CUtf8::HashShown(std::string_view text) {
    if (IsValid(text))
        return std::hash<std::string_view>{}(text);
    return std::hash<std::string>{}(DisplayText(text));
}

std::optional<std::string> CUtf8::Latin1(std::string_view bytes) {
    if (!IsValid(bytes))
        return std::string(bytes);
    std::string latin1;
    latin1.reserve(bytes.size());
    CShownCharacters characters(bytes, true);
    while (!characters.AtEnd()) {
        const char32_t c = characters.Next();
        if (c > 0xFF)
            return std::nullopt;
        latin1 += static_cast<char>(c);
    }
    if (latin1.size() != bytes.size() && IsValid(latin1))
        return std::nullopt;
    return latin1;
}

std::string_view CUtf8::CutShown(std::string_view bytes, std::size_t limit) {
    if (bytes.size() <= limit || !IsValid(bytes))
        return bytes.substr(0, limit);
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
        --end;
    return bytes.substr(0, end);
}
