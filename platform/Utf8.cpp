#include "platform/Utf8.h"

#include <array>
#include <cstdint>
#include <cstring>

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

} // namespace

bool CUtf8::IsValid(std::string_view bytes) {
    std::size_t i = 0;
    // Most texts are plain ASCII: eight bytes at a time until a byte with its high bit set.
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    for (std::uint64_t word = 0; i + sizeof word <= bytes.size(); i += sizeof word) {
        std::memcpy(&word, bytes.data() + i, sizeof word);
        if ((word & kHighBits) != 0)
            break;
    }
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const SLead& rule = kLeads[lead];
        if (rule.length == 0 || bytes.size() - i < rule.length)
            return false;
        if (rule.length > 1) {
            const auto first = static_cast<unsigned char>(bytes[i + 1]);
            if (first < rule.low || first > rule.high)
                return false;
            for (std::size_t k = 2; k < rule.length; ++k) {
                if (!IsContinuation(static_cast<unsigned char>(bytes[i + k])))
                    return false;
            }
        }
        i += rule.length;
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
