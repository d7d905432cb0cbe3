#pragma once

#include <string>
#include <string_view>
#include <vector>

// The order in which the tree shows names: by the sort name a tag gives, else by the name with a
// leading article moved to its end ("The Beatles" as "Beatles, The"), without regard to case or
// accents. A key is made once per name and compared by its bytes.
class CSortName {
public:
    // `articles`: the words a name may start with, separated by ";" ("The;Le;L'"). An article
    // that ends in an apostrophe is followed directly by the name, any other by a space.
    explicit CSortName(std::string_view articles = {});

    // The name's key, or the sort tag's where there is one. The bytes show as CUtf8 says.
    std::string Key(std::string_view name, std::string_view sortTag = {}) const;
    // The text folded: lower case, Latin letters without their accents, ligatures spelt out,
    // typographic apostrophes plain.
    static std::string Fold(std::string_view bytes);

private:
    std::vector<std::string> articles_; // folded
};
