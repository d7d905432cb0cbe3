#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) on every source of the program and the tool, with the compile
# commands of the build folder given as the first argument; any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
    'platform/*.cpp' 'model/*.cpp' 'catalog/*.cpp' 'settings/*.cpp' 'desktop/*.cpp' \
    'res/*.cpp' 'views/*.cpp' 'dialogs/*.cpp' 'frame/*.cpp' 'app/*.cpp' 'tools/*.cpp' |
    while read -r f; do [ -f "$f" ] && echo "$f"; done)
findings=$(printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null |
    grep -E '(warning|error):' || true)
if [ -n "$findings" ]; then
    echo "$findings" >&2
    echo "tidy: fix the findings above" >&2
    exit 1
fi
