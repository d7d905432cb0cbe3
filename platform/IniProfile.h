#pragma once

#include <string>
#include <string_view>
#include <vector>

// An INI profile file: "[Section]" headers and "key=value" lines.
//
// Reading rules:
// - A header is a line whose first non-blank character is "[", its name the text up to the
//   first "]", without surrounding blanks. Lines starting with ";" or "#" are comments.
// - A key line is any other line with a "=": the key is the text before the first "=" without
//   surrounding blanks, the value everything after it up to the line end ("\n" or "\r\n"),
//   verbatim. Lines before the first header belong to no section.
// - Section and key names match without regard to ASCII case; the first match wins.
// - A UTF-8 byte-order mark at the start of the file is passed over.
// Every line that is not the written key's line is kept byte for byte by a write.
//
// Reads come from the copy loaded at construction. Each write takes the file's lock (other
// processes write it too), re-reads it, changes one line and replaces the file atomically, or
// rewrites it in place where it has several names. The replacement keeps the file's mode and,
// where the process may set them, its owner and group; a link is followed and stays a link.
class CIniProfile {
public:
    explicit CIniProfile(std::string path);

    const std::string& Path() const { return path_; }

    // Blanks, an optional sign and decimal digits up to the first other character; a value
    // with no digits gives 0, an absent or blank value the default. Out-of-range values clamp.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const;

    // False, with the file left as it was, when the file cannot be read, written by this user
    // or replaced, or when the names or the value cannot be stored (line breaks, "]" in a
    // section, "=" in a key).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);

    static int ParseInt(std::string_view text, int defaultValue);

private:
    std::string path_;
    std::vector<std::string> lines_; // each with its own line end, if it had one
};
