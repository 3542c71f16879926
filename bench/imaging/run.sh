#!/bin/sh
# Times whole picture jobs (decode + effect + SaveAsJpeg) on a 6000 x 4000 JPEG
# against ImageMagick on the same file in the same run, and prints the ratios.
#
#     bench/imaging/run.sh [BUILD_DIR]      (default build-release; RUNS=3 by default)
#
# Each figure is the best wall time of RUNS runs of the whole process.
set -eu

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$ROOT/build-release}
RUNS=${RUNS:-3}
BIN=$BUILD/bench/bench_imaging

command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }
if [ ! -x "$BIN" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$BUILD" --target bench_imaging -j 2 >/dev/null
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM
# Never touch the real user's files or settings.
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$WORK/tmp"
export TMPDIR="$WORK/tmp" QT_QPA_PLATFORM=offscreen

IN="$WORK/in.jpg"
echo "generating a 6000 x 4000 JPEG ..."
convert -seed 7 -size 1500x1000 plasma:fractal -resize '6000x4000!' \
    -attenuate 0.4 +noise Gaussian -quality 92 "$IN"

now() { date +%s.%N; }

# Best wall time in seconds of RUNS runs of the command.
best_of() {
    best=""
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        start=$(now)
        "$@" >/dev/null 2>>"$WORK/log"
        end=$(now)
        best=$(awk -v s="$start" -v e="$end" -v b="$best" \
            'BEGIN { t = e - s; if (b == "" || t < b) b = t; printf "%.3f", b }')
        i=$((i + 1))
    done
    echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

plain=$(best_of convert "$IN" -quality 90 "$WORK/im.jpg")
blur=$(best_of convert "$IN" -blur 0x3 -quality 90 "$WORK/im-blur.jpg")
echo "ImageMagick convert -quality 90:          $plain s"
echo "ImageMagick convert -blur 0x3 -quality 90: $blur s"
echo
printf "%-11s %8s  %-24s %6s  %s\n" effect seconds "compared with" ratio target

report() { # effect reference-name reference-seconds target
    t=$(best_of "$BIN" "$1" "$IN" "$WORK/out-$1.jpg")
    r=$(ratio "$t" "$3")
    verdict=$(awk -v r="$r" -v g="$4" 'BEGIN { print (r <= g) ? "ok" : "MISSED" }')
    printf "%-11s %8s  %-24s %6s  <= %s %s\n" "$1" "$t" "$2" "$r" "$4" "$verdict"
}

report none plain "$plain" 1.3
for effect in invert grey mirror-tb mirror-lr; do
    report "$effect" plain "$plain" 1.3
done
report sharpen plain "$plain" 2.0
report optimise "blur 0x3" "$blur" 0.4
report anti-alias "blur 0x3" "$blur" 0.4
