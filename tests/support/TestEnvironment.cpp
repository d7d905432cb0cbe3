// Every test program runs in English and, for widgets, on the offscreen platform, whoever
// starts it (ctest, make test, or a developer by hand). Set before main, so before any
// application object or string lookup reads them; a value already set is kept.
#include <cstdlib>

namespace {

const bool kEnvironmentSet = [] {
    ::setenv("QUAVERO_LANG", "en", 0);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

} // namespace
