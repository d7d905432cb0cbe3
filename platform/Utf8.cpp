#include "platform/Utf8.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>

namespace {

// What a lead byte allows: the length of its sequence and the range of its first continuation
// byte, which is where overlong forms, surrogates and values above U+10FFFF show (RFC 3629).
struct SLead {
    std::uint8_t length = 0; // 0: not a lead byte
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
};

constexpr std::array<SLead, 256> MakeLeads() {
    std::array<SLead, 256> leads{};
    for (int b = 0x00; b <= 0x7F; ++b)
        leads[b] = {1, 0, 0};
    for (int b = 0xC2; b <= 0xDF; ++b)
        leads[b] = {2, 0x80, 0xBF};
    for (int b = 0xE0; b <= 0xEF; ++b)
        leads[b] = {3, 0x80, 0xBF};
    leads[0xE0].low = 0xA0;  // below: overlong
    leads[0xED].high = 0x9F; // above: UTF-16 surrogates
    for (int b = 0xF0; b <= 0xF4; ++b)
        leads[b] = {4, 0x80, 0xBF};
    leads[0xF0].low = 0x90;  // below: overlong
    leads[0xF4].high = 0x8F; // above: beyond U+10FFFF
    return leads;
}

constexpr std::array<SLead, 256> kLeads = MakeLeads();

bool IsContinuation(unsigned char byte) {
    return byte >= 0x80 && byte <= 0xBF;
}

// The length of the well-formed sequence that starts at `at`; 0 where none does.
std::size_t SequenceAt(std::string_view bytes, std::size_t at) {
    const SLead& rule = kLeads[static_cast<unsigned char>(bytes[at])];
    if (rule.length == 0 || bytes.size() - at < rule.length)
        return 0;
    if (rule.length > 1) {
        const auto first = static_cast<unsigned char>(bytes[at + 1]);
        if (first < rule.low || first > rule.high)
            return 0;
        for (std::size_t k = 2; k < rule.length; ++k) {
            if (!IsContinuation(static_cast<unsigned char>(bytes[at + k])))
                return 0;
        }
    }
    return rule.length;
}

} // namespace

// Most texts are plain ASCII, and most others are ASCII between a few sequences: the bytes are
// looked at eight at a time, and one by one only from a byte with its high bit set to the end
// of its sequence.
bool CUtf8::IsValid(std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        if (size - i >= sizeof(std::uint64_t)) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + i, sizeof word);
            if constexpr (std::endian::native == std::endian::little) {
                const std::uint64_t high = word & kHighBits;
                if (high == 0) {
                    i += sizeof word;
                    continue;
                }
                i += static_cast<std::size_t>(std::countr_zero(high)) / 8; // the ASCII before it
            } else if ((word & kHighBits) == 0) {
                i += sizeof word;
                continue;
            }
        }
        const std::size_t length = SequenceAt(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
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
        const std::size_t length = kLeads[lead].length;
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
