#!/bin/sh
# The similar-picture search against findimagedupes, on the real photographs
# of the wallpaper packages (one of each picture the packages ship at several
# sizes) and five variants of each made by ImageMagick (bench/similar/
# make_set.sh): half size, quality 40, 5 % cropped from each side and scaled
# back, 12 % brighter, grey.
#
#  - quality: recall of the (original, variant) pairs (target >= 0.95) and
#    precision of the pairs put together (target >= 0.99), for both tools
#    at their default thresholds;
#  - time of one run with an empty fingerprint cache, both tools (target:
#    ours <= 0.1 x findimagedupes);
#  - a second run over 10,000 unchanged photographs (target < 1 s);
#  - grouping 1,000,000 synthetic fingerprints (target < 10 s, < 300 MB).
. "$(dirname "$0")/../common/preamble.sh"
. "$ROOT/bench/common/photos.sh"
. "$ROOT/bench/similar/make_set.sh"
tool=$(bench_tool bench_similar)
cmake --build "$BUILD" --target kelvasto-batch -j 2 >/dev/null
batch="$BUILD/src/cli/kelvasto-batch"
set="$WORK/set"
originals=$(similar_set "$set")
pictures=$(ls "$set" | wc -l)
echo "set: $originals photographs and their variants, $pictures files, $(du -sh "$set" | cut -f1)"

# Pairs of one group line (names separated by spaces): recall counts the
# (original, variant) pairs found, precision the share of pairs put
# together that come from one photograph.
score() {
    awk -v originals="$originals" '
        { n = split($0, f, " ")
          for (i = 1; i <= n; i++) { sub(".*/", "", f[i]); split(f[i], p, "-"); src[i] = p[1]; kind[i] = p[2] }
          for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) {
              pairs++
              if (src[i] == src[j]) { right++; if (kind[i] == "orig.jpg" || kind[j] == "orig.jpg") found++ }
          } }
        END { printf "recall %.3f  precision %.3f  (%d of %d pairs, %d pairs put together)\n",
                     found / (originals * 5), pairs ? right / pairs : 1, found, originals * 5, pairs }'
}

cat "$set"/* >/dev/null # the files in the page cache for both tools
uptime
start=$(date +%s%N)
"$batch" similar --recursive "$set" >"$WORK/ours.txt" 2>"$WORK/ours.err"
ours_ns=$(($(date +%s%N) - start))
start=$(date +%s%N)
findimagedupes -R -q "$set" >"$WORK/fid.txt" 2>"$WORK/fid.err" || true
fid_ns=$(($(date +%s%N) - start))

# Our groups are blocks of lines; make each one line.
awk 'NF == 0 { if (g != "") print g; g = ""; next } { g = g " " $0 } END { if (g != "") print g }' \
    "$WORK/ours.txt" >"$WORK/ours.groups"
echo "ours:           $(score <"$WORK/ours.groups")"
echo "findimagedupes: $(score <"$WORK/fid.txt")"
awk -v o="$ours_ns" -v f="$fid_ns" 'BEGIN {
    printf "time, empty cache: ours %.2f s, findimagedupes %.2f s, ratio %.3f (target <= 0.1)\n",
           o / 1e9, f / 1e9, o / f }'

# 10,000 photographs (the corpus scaled to 1024 pixels, linked many times):
# the first run fills the cache, the second must decode nothing.
small="$WORK/small"
mkdir -p "$small"
for photo in "$(bench_photo_cache)"/*; do
    convert "$photo" -resize '1024x1024>' -quality 90 "$small/$(basename "$photo")"
done
many="$WORK/many"
mkdir -p "$many"
i=0
while [ "$i" -lt 10000 ]; do
    for photo in "$small"/*; do
        [ "$i" -lt 10000 ] || break
        i=$((i + 1))
        ln "$photo" "$(printf '%s/%02d/p-%05d.jpg' "$many" $((i % 100)) "$i")" 2>/dev/null ||
            { mkdir -p "$(printf '%s/%02d' "$many" $((i % 100)))" &&
              ln "$photo" "$(printf '%s/%02d/p-%05d.jpg' "$many" $((i % 100)) "$i")"; }
    done
done
start=$(date +%s%N)
"$batch" similar --recursive "$many" >/dev/null 2>"$WORK/first.err"
first_ns=$(($(date +%s%N) - start))
start=$(date +%s%N)
"$batch" similar --recursive "$many" >/dev/null 2>"$WORK/second.err"
second_ns=$(($(date +%s%N) - start))
awk -v a="$first_ns" -v b="$second_ns" 'BEGIN {
    printf "10,000 photographs: first run %.2f s, second run %.3f s (target < 1 s)\n", a / 1e9, b / 1e9 }'
tail -n 1 "$WORK/second.err"

/usr/bin/time -f "peak %M KiB" "$tool" group 1000000 10 2>&1
uptime
