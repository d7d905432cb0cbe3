#pragma once

#include <string>
#include <string_view>

// A file name pattern such as "*.mp3": "*" matches any run of characters, "?" one character,
// letters match without regard to case. Nothing else is special.
class CFilePattern {
public:
    explicit CFilePattern(std::string pattern);
    bool Matches(std::string_view name) const;

private:
    std::string pattern_;
};
