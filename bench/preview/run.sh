#!/bin/sh
# Times the pop-up preview of a 24-megapixel JPEG (a real photograph brought
# to 6000 x 4000, baseline, quality 92) against
# ImageMagick's fastest thumbnail of the same file (JPEG size hint), and
# prints both with their ratio. The target is well under 100 ms.
#
#     bench/preview/run.sh [BUILD_DIR]      (RUNS=3 by default)
. "$(dirname "$0")/../common/preamble.sh"
. "$ROOT/bench/common/photos.sh"
RUNS=${RUNS:-3}
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }
BIN=$(bench_tool bench_preview)

IN="$WORK/in.jpg"
bench_photos 1 "$WORK/photo" link
convert "$WORK/photo/photo-00001.jpg" -resize '6000x4000!' -quality 92 "$IN"

ours=$("$BIN" "$IN" 100 10)
ours_ms=$(echo "$ours" | awk '{ print $1 }')
theirs_s=$(best_seconds "$RUNS" convert -define jpeg:size=200x200 "$IN" -thumbnail 100x100 \
    "$WORK/thumb.jpg")
theirs_ms=$(awk -v s="$theirs_s" 'BEGIN { printf "%.1f", s * 1000 }')
echo "preview of a 6000 x 4000 JPEG: $ours"
echo "ImageMagick -define jpeg:size=200x200 -thumbnail 100x100 (whole process): $theirs_ms ms"
echo "ratio: $(ratio "$ours_ms" "$theirs_ms")   target: < 100 ms $(awk -v t="$ours_ms" 'BEGIN { print (t < 100) ? "ok" : "MISSED" }')"
