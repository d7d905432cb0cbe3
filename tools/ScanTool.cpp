#include "tools/ScanTool.h"

#include "catalog/QuavDoc.h"
#include "catalog/ReadPool.h"
#include "model/FieldIds.h"
#include "model/Mp3File.h"
#include "platform/IniProfile.h"
#include "platform/Paths.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/Utf8.h"
#include "settings/AppSettings.h"
#include "tools/StderrReporter.h"
#include "tools/TrackPrinter.h"

#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: quavero-scan [--refresh] [--no-save] [--groups KIND] ADDRESS\n"
    "       quavero-scan --help | --version\n"
    "  Opens ADDRESS (a directory, or \"*\" for the favourite directories) as Quavero does\n"
    "  and prints its tracks, one line each, fields separated by tabs; the last two are\n"
    "  the album artist and the disc, empty when a track has none.\n"
    "  --refresh   walk every directory, ignoring cache snapshots\n"
    "  --no-save   do not write the address's cache snapshot\n"
    "  --groups    print the groups of one KIND with their track counts instead: artist,\n"
    "              genre or album, in order of first appearance, each with its subgroups;\n"
    "              albumartist, the artist tree as the window shows it: by album artist,\n"
    "              compilations under \"Various Artists\", in the order of sort names\n"
    "  --help, -h  print this help; --version prints the version\n"
    "  A tab, line feed, carriage return or backslash in a field is written as \\t, \\n, \\r\n"
    "  or \\\\. Tag texts are printed in UTF-8 as the window shows them; file names and\n"
    "  locations keep their bytes.\n";

// Ends the line and writes it in one call.
void PrintLine(std::string& line) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

void PrintGroupLine(std::string_view indent, std::string_view name, std::size_t count) {
    std::string line(indent);
    CTrackPrinter::AppendEscaped(line, CUtf8::DisplayText(name));
    line += '\t';
    line += std::to_string(count);
    PrintLine(line);
}

// A group, then its subgroups a tab further in: the artists of a genre or an album, or the
// albums of an artist grouped by album artist.
template <class Group>
void PrintGroupList(const CCatalogGroups& catalog, std::vector<Group> groups, bool sorted,
                    std::string_view indent = {}) {
    if (sorted)
        catalog.Sort(groups);
    const std::string inner = std::string(indent) + '\t';
    for (const Group& group : groups) {
        PrintGroupLine(indent, group.Name(), group.Size());
        PrintGroupList(catalog, catalog.Subgroups(group.Node()), sorted, inner);
    }
}

} // namespace

CScanTool::CScanTool() = default;
CScanTool::~CScanTool() = default;

CScanTool::EGroups CScanTool::GroupKind(std::string_view kind) {
    return kind == "artist"        ? EGroups::Artist
           : kind == "genre"       ? EGroups::Genre
           : kind == "album"       ? EGroups::Album
           : kind == "albumartist" ? EGroups::AlbumArtist
                                   : EGroups::None;
}

bool CScanTool::ParseArguments(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--help" || a == "-h") {
            answer_ = EAnswer::Help;
        } else if (a == "--version") {
            answer_ = EAnswer::Version;
        } else if (a == "--refresh") {
            refresh_ = true;
        } else if (a == "--no-save") {
            save_ = false;
        } else if (a == "--groups" && i + 1 < arguments.size()) {
            groups_ = GroupKind(arguments[++i]);
            if (groups_ == EGroups::None)
                return false;
        } else if (a.starts_with("--") || !address_.empty()) {
            return false;
        } else {
            address_ = a;
        }
    }
    return answer_ != EAnswer::None || !address_.empty();
}

int CScanTool::Run(const std::vector<std::string>& arguments) {
    if (!ParseArguments(arguments)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (answer_ != EAnswer::None) {
        std::fputs(answer_ == EAnswer::Help ? kUsage : "quavero " QUAVERO_VERSION "\n", stdout);
        return std::fflush(stdout) == 0 ? kExitOk : kExitOutputFailed;
    }
    settings_ = std::make_unique<CAppSettings>();
    settings_->LoadSettings(CIniProfile(CPaths::ProfilePath()));
    if (refresh_)
        settings_->UseCachedCatalog = 0;
    if (groups_ == EGroups::AlbumArtist)
        settings_->GroupByAlbumArtist = 1;
    reporter_ = std::make_unique<CStderrReporter>();
    doc_ = std::make_unique<CQuavDoc>(*settings_, nullptr, *reporter_);
    doc_->SetStoreSnapshots(save_);
    doc_->SetGrouping(groups_ != EGroups::None);
    // The groups printed are those of the mode, filed as the window files them.
    if (groups_ == EGroups::Genre)
        doc_->SetDisplayMode(EDisplayMode::GenreArtist);
    else if (groups_ == EGroups::Album)
        doc_->SetDisplayMode(EDisplayMode::AlbumArtist);
    else if (groups_ == EGroups::Artist || groups_ == EGroups::AlbumArtist)
        doc_->SetDisplayMode(EDisplayMode::Artist);
    // Only for the test that compares the output with and without reading ahead: a count of
    // files, or "always" for the read pool even where the files are in memory.
    if (const char* readAhead = std::getenv("QUAVERO_READ_AHEAD")) {
        if (std::string_view(readAhead) == "always")
            doc_->SetReadAhead(4 * CReadPool::kThreads, true);
        else
            doc_->SetReadAhead(static_cast<std::size_t>(std::strtoul(readAhead, nullptr, 10)));
    }
    if (!doc_->OpenAddress(address_)) {
        std::fprintf(stderr, "quavero-scan: no such directory: %s\n", address_.c_str());
        return kExitNotFound;
    }
    if (groups_ == EGroups::None)
        PrintTracks(*doc_);
    else
        PrintGroups(*doc_);
    // An unbuffered write that failed leaves nothing to flush: the stream's error says it.
    return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? kExitOk : kExitOutputFailed;
}

// The lines are gathered in runs of some 64 KB, each written in one call: stdout takes them
// unbuffered, so no byte is copied on its way out.
void CScanTool::PrintTracks(const CQuavDoc& doc) {
    constexpr std::size_t kRun = 1 << 16;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::string run;
    run.reserve(2 * kRun);
    for (int field = 1; field <= kFieldCount; ++field) {
        run += field == 1 ? "" : "\t";
        run += CStringTable::Get(FieldLabel(static_cast<EFieldId>(field)));
    }
    run += '\n';
    CTrackPrinter printer;
    for (const CMp3File* track : doc.GetTrackList().Tracks()) {
        printer.AppendLine(run, *track);
        run += '\n';
        if (run.size() >= kRun) {
            std::fwrite(run.data(), 1, run.size(), stdout);
            run.clear();
        }
    }
    std::fwrite(run.data(), 1, run.size(), stdout);
}

void CScanTool::PrintGroups(const CQuavDoc& doc) const {
    const CCatalogGroups& catalog = doc.Groups();
    switch (groups_) {
    case EGroups::Artist:
    case EGroups::AlbumArtist:
        PrintGroupList(catalog, catalog.Artists(), groups_ == EGroups::AlbumArtist);
        break;
    case EGroups::Genre:
        PrintGroupList(catalog, catalog.Genres(), false);
        break;
    case EGroups::Album:
        PrintGroupList(catalog, catalog.Albums(), false);
        break;
    case EGroups::None:
        break;
    }
}
