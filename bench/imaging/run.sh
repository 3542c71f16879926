#!/bin/sh
# Times whole picture jobs (decode + effect + SaveAsJpeg) on a 6000 x 4000 JPEG
# against ImageMagick on the same file in the same run, and prints the ratios.
#
#     bench/imaging/run.sh [BUILD_DIR]      (default build-release; RUNS=3 by default)
#
# Each figure is the best wall time of RUNS runs of the whole process.
. "$(dirname "$0")/../common/preamble.sh"
RUNS=${RUNS:-3}
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }
BIN=$(bench_tool bench_imaging)

IN="$WORK/in.jpg"
echo "generating a 6000 x 4000 JPEG ..."
convert -seed 7 -size 1500x1000 plasma:fractal -resize '6000x4000!' \
    -attenuate 0.4 +noise Gaussian -quality 92 "$IN"

plain=$(best_seconds "$RUNS" convert "$IN" -quality 90 "$WORK/im.jpg")
blur=$(best_seconds "$RUNS" convert "$IN" -blur 0x3 -quality 90 "$WORK/im-blur.jpg")
echo "ImageMagick convert -quality 90:          $plain s"
echo "ImageMagick convert -blur 0x3 -quality 90: $blur s"
echo
printf "%-11s %8s  %-24s %6s  %s\n" effect seconds "compared with" ratio target

report() { # effect reference-name reference-seconds target
    t=$(best_seconds "$RUNS" "$BIN" "$1" "$IN" "$WORK/out-$1.jpg")
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
