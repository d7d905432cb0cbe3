#!/usr/bin/env bash
# Starts the program from a build folder: the window when it is built, else the scanner on the
# default address (the music folder).
set -euo pipefail
build=${1:-build}
if [ -x "$build/quavero" ]; then
    exec "$build/quavero"
fi
exec "$build/quavero-scan" "$("$build/quavero-scan" --default-address)"
