#!/usr/bin/env bash
# Installs the Debian packages that one kind of work needs; idempotent and quiet when everything
# is already there.
#   scripts/install-deps.sh run     build and run the program
#   scripts/install-deps.sh test    the above, and the tests' tools (the default)
#   scripts/install-deps.sh bench   the above, and the benchmarks' tools
#   scripts/install-deps.sh fuzz    the above, and the fuzzers' compiler
#   scripts/install-deps.sh package the above, and what a Debian package is made with
set -euo pipefail

run=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libglib2.0-dev qt6-translations-l10n
    qt6-image-formats-plugins
)
test=(
    libgtest-dev libgmock-dev clang-format clang-tidy qt6-base-private-dev
    lame python3-mutagen xvfb xauth xdotool imagemagick trayer fonts-dejavu-core
    desktop-file-utils appstream
)
bench=(libfuse3-dev fuse3)
fuzz=(clang-14 libclang-rt-14-dev)
package=(dpkg-dev file)

case "${1:-test}" in
    run) packages=("${run[@]}") ;;
    test) packages=("${run[@]}" "${test[@]}") ;;
    bench) packages=("${run[@]}" "${test[@]}" "${bench[@]}") ;;
    fuzz) packages=("${run[@]}" "${test[@]}" "${fuzz[@]}") ;;
    package) packages=("${run[@]}" "${package[@]}") ;;
    *) echo "usage: $0 [run|test|bench|fuzz|package]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: need root to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
