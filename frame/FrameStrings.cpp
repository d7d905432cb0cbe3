#include "frame/FrameStrings.h"

#include "frame/CommandIds.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct SFallback {
    int id;
    std::string_view english;
};

// Sorted by id.
constexpr std::array kFallbacks{
    SFallback{FrameString::kLabelAddress, "Address"},
    SFallback{FrameString::kButtonPlay, "Play"},
    SFallback{FrameString::kButtonEnqueue, "Enqueue"},
    SFallback{FrameString::kButtonProperties, "Prop."},
    SFallback{FrameString::kButtonLargeIcons, "Large"},
    SFallback{FrameString::kButtonSmallIcons, "Small"},
    SFallback{FrameString::kButtonList, "List"},
    SFallback{FrameString::kButtonDetails, "Detail"},
    SFallback{FrameString::kButtonCopy, "Copy"},
    SFallback{FrameString::kFileCountFormat, "%d file(s)"},
    SFallback{FrameString::kAboutCaption, "About ..."},
    SFallback{FrameString::kButtonAll, "All"},
    SFallback{CommandId::kPlay, "Play the selected tracks\nPlay"},
    SFallback{CommandId::kEnqueue, "Add the selected tracks to the player's queue\nEnqueue"},
    SFallback{CommandId::kProperties, "Edit the ID3 tag of the selected tracks\nProperties"},
    SFallback{CommandId::kAddressBar, "Show or hide the address bar\nAddress bar"},
    SFallback{CommandId::kTextLabels, "Show or hide the text of the tool bar buttons\nText labels"},
    SFallback{CommandId::kOptions, "Change the program's options\nOptions"},
    SFallback{CommandId::kModeAlbumArtist,
              "Group the tracks by album, then by artist\nAlbum / Artist"},
    SFallback{CommandId::kModeArtist, "Group the tracks by artist\nArtist"},
    SFallback{CommandId::kModeGenreArtist,
              "Group the tracks by genre, then by artist\nGenre / Artist"},
    SFallback{CommandId::kDisplayAll,
              "Show the chosen columns or all the columns\nSelection/All columns"},
    SFallback{CommandId::kRefresh,
              "Read the folders of the address again and rewrite its cache file\nRefresh cache "
              "file"},
    SFallback{CommandId::kNew, "Open the start-up address again\nNew"},
    SFallback{CommandId::kCopy, "Copy the selected rows to the clipboard\nCopy"},
    SFallback{CommandId::kSelectAll, "Select every row of the list\nSelect All"},
    SFallback{CommandId::kAbout, "Show the program's version and credits\nAbout"},
    SFallback{CommandId::kExit, "Quit the program\nExit"},
    SFallback{CommandId::kToolBar, "Show or hide the standard buttons\nStandard buttons"},
    SFallback{CommandId::kStatusBar, "Show or hide the status bar\nStatus bar"},
    SFallback{CommandId::kSmallIcons, "Show the tracks as small icons\nSmall Icons"},
    SFallback{CommandId::kLargeIcons, "Show the tracks as large icons\nLarge Icons"},
    SFallback{CommandId::kList, "Show the tracks as a list\nList"},
    SFallback{CommandId::kDetails, "Show the tracks with the details of each column\nDetails"},
};

static_assert(std::is_sorted(kFallbacks.begin(), kFallbacks.end(),
                             [](const SFallback& a, const SFallback& b) { return a.id < b.id; }));

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString CFrameStrings::Get(int id) {
    if (const std::string_view text = CStringTable::Get(id); !text.empty())
        return FromView(text);
    const auto it = std::lower_bound(kFallbacks.begin(), kFallbacks.end(), id,
                                     [](const SFallback& e, int key) { return e.id < key; });
    if (it == kFallbacks.end() || it->id != id)
        return {};
    return FromView(it->english);
}

QString CFrameStrings::Prompt(int commandId) {
    return Get(commandId).section(QLatin1Char('\n'), 0, 0);
}

QString CFrameStrings::Tooltip(int commandId) {
    return Get(commandId).section(QLatin1Char('\n'), 1, 1);
}

QString CFrameStrings::FileCount(long long count) {
    QString format = Get(FrameString::kFileCountFormat);
    return format.replace(QLatin1String("%d"), QString::number(count));
}
