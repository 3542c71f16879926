#!/bin/sh
# Runs every benchmark against its peer tools and prints the ratios.
#     sh bench/run_all.sh [BUILD_DIR]     (default build-release)
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-release}
case "$BUILD" in /*) ;; *) BUILD=$ROOT/$BUILD ;; esac
export BUILD_DIR="$BUILD"
for bench in collection defect_scan window_scan imaging effects preview index duplicates reduction list_scroll \
    many_files similar large_folder; do
    echo "== $bench"
    sh "$ROOT/bench/$bench/run.sh" "$BUILD"
done
