#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) on every source of the program and the tool, with the compile
# commands of the build folder given as the first argument; any finding fails. One file a
# process, on every processor, those with the Qt headers (several seconds each) first and the
# core's (a second or two) after, so that no processor is left with a long last batch.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mapfile -t files < <(
    for folder in views dialogs frame app desktop res platform model catalog settings tools; do
        git ls-files --cached --others --exclude-standard -- "$folder/*.cpp"
    done | while read -r f; do [ -f "$f" ] && echo "$f"; done)
findings=$(printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -n 1 clang-tidy -p "$build" --quiet 2>/dev/null |
    grep -E '(warning|error):' || true)
if [ -n "$findings" ]; then
    echo "$findings" >&2
    echo "tidy: fix the findings above" >&2
    exit 1
fi
