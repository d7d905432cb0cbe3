#pragma once

#include <string_view>

// Case folding of ASCII letters only: profile names and file patterns compare without regard to
// case, while other bytes (UTF-8 or Latin-1 letters) stay as they are.
class CAscii {
public:
    static constexpr char Lower(char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }

    static constexpr bool EqualNoCase(std::string_view a, std::string_view b) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (Lower(a[i]) != Lower(b[i]))
                return false;
        return true;
    }
};
