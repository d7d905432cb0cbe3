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
    bool MatchesWildcards(std::string_view name) const;

    std::string pattern_; // folded to lower case
    // Set for the usual form, "*" and a plain tail such as ".mp3": then only the tail counts.
    bool starThenSuffix_ = false;
};
