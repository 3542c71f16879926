#!/bin/sh
# Times the batch functions (anti-alias, optimise, black-and-white) over real
# photographs of at least 1920 x 1080 against ImageMagick doing the nearest
# equivalent on the same files in the same run, and prints the ratios:
#
#     black-and-white  convert IN -colorspace Gray -quality 90 OUT
#     anti-alias       convert IN -blur 0x1 -quality 90 OUT
#     optimise         convert IN -blur 0x1 -quality 90 OUT
#
#     bench/effects/run.sh [BUILD_DIR]     (COUNT=4 photographs, RUNS=1 by default; about a minute)
#
# Each figure is the best wall time of RUNS runs over all COUNT files. The
# target is at most 0.5 x ImageMagick's time.
. "$(dirname "$0")/../common/preamble.sh"
. "$ROOT/bench/common/photos.sh"
COUNT=${COUNT:-4}
RUNS=${RUNS:-1}
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }
BIN=$(bench_tool bench_effects)

# Photographs of at least 1920 x 1080, hard links into the corpus (only read).
bench_photos "$(bench_photo_count)" "$WORK/all" link
mkdir -p "$WORK/photos"
n=0
for photo in "$WORK"/all/*.jpg; do
    [ "$n" -lt "$COUNT" ] || break
    size=$(identify -format '%w %h' "$photo[0]" 2>/dev/null) || continue
    set -- $size
    if [ "$1" -ge 1920 ] && [ "$2" -ge 1080 ]; then
        n=$((n + 1))
        ln "$photo" "$WORK/photos/$(printf 'p%03d.jpg' "$n")" 2>/dev/null ||
            cp "$photo" "$WORK/photos/$(printf 'p%03d.jpg' "$n")"
    fi
done
echo "$n photographs of at least 1920 x 1080"

# One run of ours, the results of an earlier run cleared first (a second run
# would also take them as sources).
cat >"$WORK/ours.sh" <<EOS
rm -f "$WORK"/photos/*_"\$1".jpg
exec "$BIN" "\$1" "$WORK/photos"
EOS
cat >"$WORK/theirs.sh" <<'EOS'
mkdir -p "$2"
for photo in "$1"/p*.jpg; do
    convert "$photo" $3 -quality 90 "$2/$(basename "$photo")" || exit 1
done
EOS

printf "%-16s %9s %9s %6s  %s\n" function ours imagemagick ratio target
report() { # name our-effect imagemagick-options
    ours=$(best_seconds "$RUNS" sh "$WORK/ours.sh" "$2")
    theirs=$(best_seconds "$RUNS" sh "$WORK/theirs.sh" "$WORK/photos" "$WORK/im-$2" "$3")
    r=$(ratio "$ours" "$theirs")
    verdict=$(awk -v r="$r" 'BEGIN { print (r <= 0.5) ? "ok" : "MISSED" }')
    printf "%-16s %8ss %8ss %6s  <= 0.5 %s\n" "$1" "$ours" "$theirs" "$r" "$verdict"
}
report black-and-white sw "-colorspace Gray"
report anti-alias aa "-blur 0x1"
report optimise opt "-blur 0x1"
