#!/bin/sh
# Index sheets and thumbnails over the same real photographs (bench/common/
# photos.sh; PHOTOS of them, default 320), warm cache, against
#  - `vipsthumbnail --size 100` for thumbnails of side 100 (target: >= 1.5 x faster),
#  - ImageMagick `montage -define jpeg:size=200x200 -tile 7x6 -geometry
#    100x100+5+5 -background black` for sheets of 42, 7 to a row, side 100
#    (target: >= 1.5 x faster).
# Both peers write quality 90 as Kelvasto does. One round each: the whole
# run stays under two minutes on two cores.
. "$(dirname "$0")/../common/preamble.sh"
. "$ROOT/bench/common/photos.sh"
tool=$(bench_tool bench_index)
count=${PHOTOS:-320}

bench_photos "$count" "$WORK/thumbs" link
bench_photos "$count" "$WORK/sheets" link
bench_photos "$count" "$WORK/peer" link
cat "$WORK/peer"/*.jpg > /dev/null # warm the cache for every tool alike

"$tool" thumbs "$WORK/thumbs" 100 | tee "$WORK/times"
"$tool" sheets "$WORK/sheets" | tee -a "$WORK/times"

mkdir -p "$WORK/vips" "$WORK/montage"
vips_s=$(best_seconds 1 sh -c 'vipsthumbnail --size 100 -o "$1/%s.jpg[Q=90]" "$2"/*.jpg' \
    sh "$WORK/vips" "$WORK/peer")
echo "vipsthumbnail $vips_s ($(ls "$WORK/vips" | wc -l) written)"
montage_s=$(best_seconds 1 sh -c 'montage -define jpeg:size=200x200 -tile 7x6 \
    -geometry 100x100+5+5 -background black -quality 90 "$2"/*.jpg "$1/sheet_%02d.jpeg"' \
    sh "$WORK/montage" "$WORK/peer")
echo "montage $montage_s ($(ls "$WORK/montage" | wc -l) written)"

awk -v v="$vips_s" -v m="$montage_s" '
    $1 == "thumbs" { thumbs = $2 } $1 == "sheets" { sheets = $2 }
    $1 == "sheets-one-thread" { one = $2 }
    END {
        printf "ratio vipsthumbnail / thumbnails: %.2f (target >= 1.5)\n", v / thumbs
        printf "ratio montage / sheets:           %.2f (target >= 1.5)\n", m / sheets
        printf "ratio sheets on one thread / sheets: %.2f (loading ahead)\n", one / sheets
    }' "$WORK/times"
