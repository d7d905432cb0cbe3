#!/usr/bin/env bash
# Checks that every folder includes only from folders below it: a folder's rank must be higher
# than the rank of each folder it includes from, so no two folders can include each other.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A rank=(
    [platform]=0 [model]=1 [settings]=2 [catalog]=3 [tools]=4
    [res]=4 [desktop]=5 [dialogs]=6 [views]=7 [frame]=8 [app]=9
)

status=0
for from in "${!rank[@]}"; do
    [ -d "$from" ] || continue
    while IFS=: read -r file _ include; do
        to=${include%%/*}
        [ "$to" = "$from" ] && continue
        [ -n "${rank[$to]+x}" ] || continue
        if [ "${rank[$to]}" -ge "${rank[$from]}" ] || { [ "$from" = tools ] && [ "${rank[$to]}" -gt 3 ]; }; then
            echo "layers: $file includes $include ($from may not include from $to)" >&2
            status=1
        fi
    done < <(grep -rHno --include='*.h' --include='*.cpp' '^#include "[a-z]*/[^"]*"' "$from" |
        sed 's/#include "\(.*\)"/\1/')
done
exit $status
