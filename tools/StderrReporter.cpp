#include "tools/StderrReporter.h"

#include <cstdio>

void CStderrReporter::Report(std::string_view caption, std::string_view text) {
    std::fprintf(stderr, "quavero-scan: %.*s: %.*s\n", static_cast<int>(caption.size()),
                 caption.data(), static_cast<int>(text.size()), text.data());
}
