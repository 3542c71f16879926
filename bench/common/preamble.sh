# Sourced first by every benchmark's run.sh (bench/NAME/run.sh):
#
#     . "$(dirname "$0")/../common/preamble.sh"
#     tool=$(bench_tool bench_collection)
#
# Sets ROOT (the repository) and BUILD (run.sh's first argument, else
# $BUILD_DIR, else build-release), and moves the run into a sandbox: HOME,
# XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME and TMPDIR point into the
# fresh folder $WORK, removed at exit, so no benchmark touches the real user's
# files or settings. Also gives the timing helpers best_us, best_seconds, ratio.
set -eu

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-${BUILD_DIR:-$ROOT/build-release}}
case "$BUILD" in /*) ;; *) BUILD=$ROOT/$BUILD ;; esac

# Kept outside the sandbox on purpose: the compiler cache, and the corpus of
# real photographs (bench/common/photos.sh), which would be slow to rebuild.
if [ -z "${CCACHE_DIR:-}" ] && command -v ccache >/dev/null 2>&1; then
    CCACHE_DIR=$(ccache -k cache_dir) && export CCACHE_DIR
fi
KELVASTO_BENCH_CACHE=${KELVASTO_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvasto-bench}
export KELVASTO_BENCH_CACHE

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-bench-XXXXXX")
# A benchmark may leave read-only folders behind; make them removable first
# (folders only: files may be hard links into the photo cache).
trap 'find "$WORK" -type d -exec chmod u+rwx {} + 2>/dev/null; rm -rf "$WORK"' EXIT
trap 'exit 130' INT TERM
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data" \
    XDG_CACHE_HOME="$WORK/cache" TMPDIR="$WORK/tmp" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$TMPDIR"

# Builds the benchmark program TARGET (configuring a Release build first when
# $BUILD has none) and prints its path.
bench_tool() {
    if [ ! -f "$BUILD/CMakeCache.txt" ]; then
        launcher=""
        command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
        cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release $launcher >&2
    fi
    cmake --build "$BUILD" --target "$1" -j 2 >/dev/null
    echo "$BUILD/bench/$1"
}

# Best wall time of RUNS runs of the command, in microseconds. The command's
# output is dropped; its errors go to $WORK/log.
best_us() {
    runs=$1
    shift
    best=""
    i=0
    while [ "$i" -lt "$runs" ]; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>>"$WORK/log"
        end=$(date +%s%N)
        t=$(((end - start) / 1000))
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
        i=$((i + 1))
    done
    echo "$best"
}

# The same in seconds, three decimals.
best_seconds() {
    awk -v us="$(best_us "$@")" 'BEGIN { printf "%.3f", us / 1e6 }'
}

# A / B with two decimals.
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'
}
