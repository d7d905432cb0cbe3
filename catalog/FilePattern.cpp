#include "catalog/FilePattern.h"

#include "platform/Ascii.h"

CFilePattern::CFilePattern(std::string pattern) : pattern_(std::move(pattern)) {
    for (char& c : pattern_)
        c = CAscii::Lower(c);
    starThenSuffix_ = !pattern_.empty() && pattern_[0] == '*' &&
                      pattern_.find_first_of("*?", 1) == std::string::npos;
}

bool CFilePattern::Matches(std::string_view name) const {
    if (!starThenSuffix_)
        return MatchesWildcards(name);
    const std::size_t tail = pattern_.size() - 1;
    if (name.size() < tail)
        return false;
    const std::string_view end = name.substr(name.size() - tail);
    for (std::size_t i = 0; i < tail; ++i)
        if (CAscii::Lower(end[i]) != pattern_[i + 1])
            return false;
    return true;
}

// Greedy matching with one backtrack point: the last "*" seen absorbs one more character each
// time the rest fails, which is enough because a later "*" makes earlier choices irrelevant.
bool CFilePattern::MatchesWildcards(std::string_view name) const {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern_.size() && pattern_[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern_.size() &&
                   (pattern_[p] == '?' || pattern_[p] == CAscii::Lower(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern_.size() && pattern_[p] == '*')
        ++p;
    return p == pattern_.size();
}
