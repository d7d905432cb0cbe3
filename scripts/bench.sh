#!/usr/bin/env bash
# Runs every benchmark from an optimised build folder. Generated collections are kept in
# $BENCH_DATA (default: the build folder's bench-data) and reused by later runs. BENCH_LARGE=1
# adds the memory figures at 1,000,000 tracks. BENCH_TODAY may name the quavero-scan of the
# program before album artist, disc, sort names and artists were read: the realistic walk and
# memory benchmarks then set this tool on those frames against it, instead of against itself
# on files without them (see README.md).
set -euo pipefail
build=${1:-build-bench}
today=()
if [ -n "${BENCH_TODAY:-}" ]; then
    today=("$BENCH_TODAY")
fi
data=${BENCH_DATA:-$build/bench-data}
mkdir -p "$data"
# The latency benchmark unmounts its file system itself, even when stopped; this is for a kill.
mnt=$data/latency-mnt
trap 'if mountpoint -q "$mnt" 2>/dev/null; then fusermount3 -u -z "$mnt"; fi' EXIT
"$build/bench/TrackModelBench" "$data"
"$build/bench/SnapshotBench" "$data"
"$build/bench/CatalogBench" "$data" "$build/quavero-scan" "$build/bench/WalkFloor" \
    "$build/bench/SnapshotFloor"
"$build/bench/Id3v2WalkBench" "$data" "$build/quavero-scan" "$build/bench/WalkFloor"
"$build/bench/MemoryBench" "$data" "$build/quavero-scan"
"$build/bench/FreshnessBench" "$data"
"$build/bench/CollectionCheck" "$data" "$build/quavero-scan" 20000
"$build/bench/LatencyBench" "$data" "$build/quavero-scan" "$build/bench/WalkFloor" \
    "$build/bench/LatencyFs"
"$build/bench/RealisticWalkBench" "$data" "$build/quavero-scan" "$build/bench/WalkFloor" \
    ${today[@]+"${today[@]}"}
"$build/bench/RealisticSnapshotBench" "$data" "$build/quavero-scan" "$build/bench/SnapshotFloor"
"$build/bench/RealisticMemoryBench" "$data" "$build/quavero-scan" ${today[@]+"${today[@]}"}
for gui in "$build"/bench/Gui*Bench; do
    [ -x "$gui" ] && QT_QPA_PLATFORM=offscreen "$gui" "$data" "$build/quavero-scan"
done
exit 0
