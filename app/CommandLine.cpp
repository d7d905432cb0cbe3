#include "app/CommandLine.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: quavero [--minimized] [Qt options] [FOLDER | FILE.mp3]\n"
    "       quavero --help | --version\n"
    "  Shows the MP3 files of a folder by artist, genre or album.\n"
    "  FOLDER             open this folder instead of the last address\n"
    "  FILE.mp3           open the track's folder with its row selected\n"
    "  --minimized        start with the window minimised (behind the tray icon when the\n"
    "                     option is on and the desktop shows one)\n"
    "  --help, -h         print this help; --version prints the version\n"
    "  Qt options, among others:\n"
    "  -platform NAME     the window system plug-in: xcb, wayland, offscreen\n"
    "  -display DISPLAY   the X display to open the window on\n"
    "  -style STYLE       the widget style, such as Fusion\n"
    "  -reverse           lay the window out from right to left\n"
    "  -qwindowgeometry GEOMETRY  the window's first size and place, as 640x480+50+50\n";

// The options Qt takes out of the arguments itself (QGuiApplication, QApplication and the X11
// plug-in), each with one dash or two; those of the first list take the next argument as value.
constexpr std::array<std::string_view, 17> kQtOptionsWithValue{
    "platform",        "platformpluginpath",
    "platformtheme",   "plugin",
    "qwindowgeometry", "geometry",
    "qwindowtitle",    "title",
    "qwindowicon",     "icon",
    "display",         "name",
    "visual",          "style",
    "stylesheet",      "session",
    "qmljsdebugger"};
constexpr std::array<std::string_view, 8> kQtSwitches{
    "reverse", "nograb", "dograb", "sync", "testability", "widgetcount", "qdevel", "qdebug"};

bool Contains(const auto& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// How many arguments the option at `argument` takes up: 1 or 2 for ours and Qt's, 0 for one
// this program does not know.
int OptionLength(std::string_view argument) {
    if (argument == "--minimized")
        return 1;
    std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
    if (const auto equals = name.find('='); equals != std::string_view::npos)
        return Contains(kQtOptionsWithValue, name.substr(0, equals)) ? 1 : 0;
    if (Contains(kQtSwitches, name))
        return 1;
    return Contains(kQtOptionsWithValue, name) ? 2 : 0;
}

int Print(const char* text, std::FILE* stream, int status) {
    std::fputs(text, stream);
    return std::fflush(stream) == 0 ? status : 1;
}

// What was wrong with the arguments, on its own line, then the usage.
int Refuse(EStringId id, std::string_view argument) {
    std::string text(CStringTable::Get(id));
    if (const auto at = text.find("%1"); at != std::string::npos)
        text.replace(at, 2, argument);
    text += '\n';
    text += kUsage;
    return Print(text.c_str(), stderr, 2);
}

} // namespace

std::optional<int> CCommandLine::Answer(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h")
            return Print(kUsage, stdout, 0);
        if (argument == "--version")
            return Print("quavero " QUAVERO_VERSION "\n", stdout, 0);
    }
    bool addressGiven = false;
    for (int i = 1; i < argc;) {
        const std::string_view argument = argv[i];
        if (argument.size() < 2 || argument[0] != '-') {
            if (addressGiven)
                return Refuse(EStringId::MsgOneAddressOnly, argument);
            addressGiven = true;
            ++i;
            continue;
        }
        const int length = OptionLength(argument);
        if (length == 0)
            return Refuse(EStringId::MsgUnknownOption, argument);
        i += length;
    }
    return std::nullopt;
}
