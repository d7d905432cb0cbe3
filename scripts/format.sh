#!/usr/bin/env bash
# Formats the C++ sources with .clang-format, or with --check reports files that differ.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
[ ${#files[@]} -eq 0 ] && exit 0
if [ "${1:-}" = "--check" ]; then
    if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/quavero-format.$$; then
        grep -o '^[^:]*:' /tmp/quavero-format.$$ | sort -u | sed 's/:$//;s/^/format: needs clang-format: /' >&2
        rm -f /tmp/quavero-format.$$
        echo "format: run 'make format'" >&2
        exit 1
    fi
    rm -f /tmp/quavero-format.$$
else
    clang-format -i "${files[@]}"
fi
