#include "platform/IniProfile.h"

#include "platform/Ascii.h"
#include "platform/AtomicFile.h"
#include "platform/Descriptor.h"
#include "platform/FileLock.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The line without its end: "\n", "\r\n" or a lone "\r" on the last line.
std::string_view Content(std::string_view line) {
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view text = TrimBlanks(Content(line));
    const std::size_t close = text.find(']');
    if (text.empty() || text.front() != '[' || close == std::string_view::npos)
        return std::nullopt;
    return TrimBlanks(text.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    const std::string_view text = TrimBlanks(Content(line));
    return !text.empty() && (text.front() == ';' || text.front() == '#');
}

// Offset of the "=" of a key line whose key is `key`.
std::optional<std::size_t> KeyEquals(std::string_view line, std::string_view key) {
    if (IsComment(line) || SectionName(line))
        return std::nullopt;
    const std::string_view text = Content(line);
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos ||
        !CAscii::EqualNoCase(TrimBlanks(text.substr(0, equals)), key))
        return std::nullopt;
    return equals;
}

std::optional<std::size_t> FindKey(const Lines& lines, std::string_view section,
                                   std::string_view key) {
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i]))
            inSection = CAscii::EqualNoCase(*name, section);
        else if (inSection && KeyEquals(lines[i], key))
            return i;
    }
    return std::nullopt;
}

// Where a new key of the section goes: after its last line that is neither blank nor a
// comment, so that the blank lines and comments before the next header stay with that header.
std::optional<std::size_t> SectionEnd(const Lines& lines, std::string_view section) {
    std::optional<std::size_t> end;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (name && end)
            break;
        const bool opens = name && CAscii::EqualNoCase(*name, section);
        const bool holds = end && !IsComment(lines[i]) && !TrimBlanks(Content(lines[i])).empty();
        if (opens || holds)
            end = i + 1;
    }
    return end;
}

std::string LineEnd(const Lines& lines) {
    const bool crlf = !lines.empty() && lines.front().ends_with("\r\n");
    return crlf ? "\r\n" : "\n";
}

void InsertLine(Lines& lines, std::size_t at, const std::string& text) {
    const std::string end = LineEnd(lines);
    if (at > 0 && !lines[at - 1].ends_with('\n'))
        lines[at - 1] += end;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), text + end);
}

void SetValue(Lines& lines, std::string_view section, std::string_view key,
              std::string_view value) {
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    if (const auto at = FindKey(lines, section, key)) {
        std::string& line = lines[*at];
        const std::size_t valueStart = *KeyEquals(line, key) + 1;
        const std::size_t valueEnd = Content(line).size();
        line.replace(valueStart, valueEnd - valueStart, value);
        return;
    }
    if (const auto end = SectionEnd(lines, section)) {
        InsertLine(lines, *end, keyLine);
        return;
    }
    if (!lines.empty() && !TrimBlanks(Content(lines.back())).empty())
        InsertLine(lines, lines.size(), "");
    std::string header(1, '[');
    header.append(section).push_back(']');
    InsertLine(lines, lines.size(), header);
    InsertLine(lines, lines.size(), keyLine);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsStorable(std::string_view section, std::string_view key, std::string_view value) {
    const bool sectionOk = !section.empty() && TrimBlanks(section) == section &&
                           !HasLineBreak(section) && section.find(']') == std::string_view::npos;
    const bool keyOk = !key.empty() && TrimBlanks(key) == key && !HasLineBreak(key) &&
                       key.find('=') == std::string_view::npos &&
                       std::string_view("[;#").find(key.front()) == std::string_view::npos;
    return sectionOk && keyOk && !HasLineBreak(value);
}

Lines SplitLines(std::string_view bytes) {
    Lines lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
        lines.emplace_back(bytes.substr(0, length));
        bytes.remove_prefix(length);
    }
    return lines;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The file's lines. A UTF-8 byte-order mark at its start belongs to no line (else it would hide
// the first header); a write puts it back.
struct SText {
    bool byteOrderMark = false;
    Lines lines;
};

SText ParseText(std::string_view bytes) {
    SText text;
    text.byteOrderMark = bytes.starts_with(kByteOrderMark);
    if (text.byteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    text.lines = SplitLines(bytes);
    return text;
}

std::string JoinText(const SText& text) {
    std::string bytes(text.byteOrderMark ? kByteOrderMark : std::string_view());
    for (const std::string& line : text.lines)
        bytes += line;
    return bytes;
}

// A missing file reads as empty; any other failure is false.
bool ReadFile(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT;
    const bool read = CDescriptor::ReadToEnd(fd, bytes);
    ::close(fd);
    return read;
}

// The file's bytes as the lock holds them: nothing while it does not exist yet.
bool ReadLocked(const CFileLock& lock, std::string& bytes) {
    return lock.Locked() &&
           (lock.Descriptor() < 0 || CDescriptor::ReadToEnd(lock.Descriptor(), bytes));
}

// A file with several names is changed in place, so that every name sees the change; any other
// is replaced whole. A profile kept as a link to a file of the user's own (a shared set of
// dotfiles) stays a link: its target is replaced.
bool Store(CFileLock& lock, const std::string& path, const std::string& bytes) {
    const int fd = lock.Descriptor();
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 1)
        return CDescriptor::Rewrite(fd, bytes);
    const bool replaced =
        CAtomicFile::Replace(path, bytes,
                             {.createFolder = true, .sync = true, .followLink = true}) ==
        CAtomicFile::EResult::Written;
    if (replaced && fd < 0)
        lock.FileCreated();
    return replaced;
}

// The lock of a missing file lies beside it, so its folder must be there first.
void MakeFolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty())
        std::filesystem::create_directories(folder, error);
}

} // namespace

CIniProfile::CIniProfile(std::string path) : path_(std::move(path)) {
    std::string bytes;
    if (ReadFile(path_, bytes))
        lines_ = ParseText(bytes).lines;
}

int CIniProfile::ParseInt(std::string_view text, int defaultValue) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    if (text.empty())
        return defaultValue;
    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+')
        text.remove_prefix(1);
    long long magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        magnitude = std::min(magnitude * 10 + (c - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    const long long value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int CIniProfile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const auto at = FindKey(lines_, section, key);
    if (!at)
        return defaultValue;
    const std::string_view line = lines_[*at];
    return ParseInt(Content(line).substr(*KeyEquals(line, key) + 1), defaultValue);
}

std::string CIniProfile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    const auto at = FindKey(lines_, section, key);
    if (!at)
        return std::string(defaultValue);
    const std::string_view line = lines_[*at];
    return std::string(Content(line).substr(*KeyEquals(line, key) + 1));
}

bool CIniProfile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    if (!IsStorable(section, key, value))
        return false;
    MakeFolderOf(path_);
    CFileLock lock(path_);
    std::string bytes;
    if (!ReadLocked(lock, bytes))
        return false;
    SText text = ParseText(bytes);
    Lines read = text.lines;
    SetValue(text.lines, section, key, value);
    const bool stored = Store(lock, path_, JoinText(text));
    lines_ = stored ? std::move(text.lines) : std::move(read);
    return stored;
}

bool CIniProfile::WriteInt(std::string_view section, std::string_view key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return WriteString(section, key, text);
}
