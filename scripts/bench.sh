#!/usr/bin/env bash
# Runs every benchmark from an optimised build folder. Generated collections are kept in
# $BENCH_DATA (default: the build folder's bench-data) and reused by later runs.
set -euo pipefail
build=${1:-build-bench}
data=${BENCH_DATA:-$build/bench-data}
mkdir -p "$data"
"$build/bench/TrackModelBench" "$data"
"$build/bench/SnapshotBench" "$data"
"$build/bench/CatalogBench" "$data" "$build/quavero-scan" "$build/bench/WalkFloor" \
    "$build/bench/SnapshotFloor"
"$build/bench/Id3v2WalkBench" "$data" "$build/quavero-scan" "$build/bench/WalkFloor"
"$build/bench/MemoryBench" "$data" "$build/quavero-scan"
for gui in "$build"/bench/Gui*Bench; do
    [ -x "$gui" ] && QT_QPA_PLATFORM=offscreen "$gui" "$data" "$build/quavero-scan"
done
exit 0
