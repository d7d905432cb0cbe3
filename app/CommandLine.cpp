#include "app/CommandLine.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: quavero [--minimized] [Qt options]\n"
    "       quavero --help | --version\n"
    "  Shows the MP3 files of a folder by artist, genre or album.\n"
    "  --minimized        start with the window minimised (behind the tray icon when the\n"
    "                     option is on and the desktop shows one)\n"
    "  --help, -h         print this help; --version prints the version\n"
    "  Qt options, among others:\n"
    "  -platform NAME     the window system plug-in: xcb, wayland, offscreen\n"
    "  -display DISPLAY   the X display to open the window on\n"
    "  -style STYLE       the widget style, such as Fusion\n"
    "  -reverse           lay the window out from right to left\n"
    "  -qwindowgeometry GEOMETRY  the window's first size and place, as 640x480+50+50\n";

} // namespace

std::optional<int> CCommandLine::Answer(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const char* text = argument == "--help" || argument == "-h" ? kUsage
                           : argument == "--version" ? "quavero " QUAVERO_VERSION "\n"
                                                     : nullptr;
        if (text != nullptr) {
            std::fputs(text, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    return std::nullopt;
}
