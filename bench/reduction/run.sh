#!/bin/sh
# JPEG reduction over COUNT (default 2,000) real photographs: crops of the
# MATE desktop's wallpaper photographs, each carrying EXIF with a thumbnail,
# XMP, IPTC, an ICC profile and a comment, one in three with data appended
# behind the picture. Every tool gets fresh copies, warm cache, same run:
#  - the reduction job with all three options (collecting the tree included),
#  - `exiftool -all= -overwrite_original` (one process; target: >= 2 x slower),
#  - `jpegtran -copy none`, one process a file (target: >= 20 x slower),
#  - copying the same files with `cp -r` (target: reduction <= 1.5 x).
# The reduction flushes what it wrote to disk before renaming; cp does not.
# A sample of the reduced files is decoded and compared with the originals.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_reduction >/dev/null
tool="$build/bench/bench_reduction"
count=${COUNT:-2000}

# The corpus is made once per build folder (about a minute) and kept there.
corpus="$build/bench-data/reduction-$count"
if [ ! -f "$corpus/.complete" ]; then
    rm -rf "$corpus"
    mkdir -p "$corpus"
    "$tool" generate "$corpus/photos" "$count" /usr/share/backgrounds/mate/*/*.jpg
    first=$(find "$corpus/photos" -name '*.jpg' | sort | head -n 1)
    convert "$first" -resize 160x120 -quality 80 "$corpus/thumbnail.jpg"
    icc=/usr/share/color/icc/ghostscript/srgb.icc
    set -- -Make=Kamerawerk -Model="K-7 Mark II" -DateTimeOriginal="2024:05:17 10:21:33" \
        -Artist="Jana Holm" -Copyright="(c) Jana Holm" -ImageDescription="Am Wasser" \
        "-ThumbnailImage<=$corpus/thumbnail.jpg" -XMP-dc:Title="Am Wasser" \
        -XMP-dc:Description="Ein Tag am Wasser, aufgenommen mit Stativ" -XMP-dc:Subject=Landschaft \
        -IPTC:Keywords=Landschaft -IPTC:City=Bremen -Comment="Bearbeitet mit Bildwerk 3.1"
    [ -f "$icc" ] && set -- "$@" "-ICC_Profile<=$icc"
    exiftool -q -q -overwrite_original -r "$@" "$corpus/photos"
    touch "$corpus/.complete"
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-bench-reduction-XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
work="$tmp/work"
find "$corpus/photos" -name '*.jpg' | sort > "$tmp/originals"
sed "s|^$corpus/photos|$work|" "$tmp/originals" > "$tmp/list"
bytes() { find "$1" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%d", s }'; }
fresh() { rm -rf "$work"; cp -r "$corpus/photos" "$work"; sync; }
now() { date +%s%N; }
seconds() { awk "BEGIN { printf \"%.3f\", ($2 - $1) / 1e9 }"; }
original=$(bytes "$corpus/photos")
cat "$corpus/photos"/*/* > /dev/null # warm the cache

# Best of three for the two quick ones; the machine may be shared.
copy_s=999999
ours_s=999999
for _ in 1 2 3; do
    rm -rf "$work"; sync
    start=$(now); cp -r "$corpus/photos" "$work"; end=$(now)
    copy_s=$(awk -v a="$copy_s" -v b="$(seconds "$start" "$end")" 'BEGIN { print (b < a ? b : a) }')
    fresh
    start=$(now); "$tool" reduce "$work" > "$tmp/ours"; end=$(now)
    ours_s=$(awk -v a="$ours_s" -v b="$(seconds "$start" "$end")" 'BEGIN { print (b < a ? b : a) }')
    ours_saved=$((original - $(bytes "$work")))
done
head -n 200 "$tmp/originals" > "$tmp/sample_a"
head -n 200 "$tmp/list" > "$tmp/sample_b"
"$tool" compare "$tmp/sample_a" "$tmp/sample_b"

fresh
start=$(now); exiftool -q -q -all= -overwrite_original -r "$work"; end=$(now)
exif_s=$(seconds "$start" "$end")
exif_saved=$((original - $(bytes "$work")))

fresh
start=$(now); "$tool" jpegtran "$tmp/list" > /dev/null; end=$(now)
tran_s=$(seconds "$start" "$end")
tran_saved=$((original - $(bytes "$work")))

echo "$count files, $original bytes"
printf '%-28s %8s s  %12s bytes saved\n' "reduction (all options)" "$ours_s" "$ours_saved" \
    "exiftool -all=" "$exif_s" "$exif_saved" "jpegtran -copy none" "$tran_s" "$tran_saved" \
    "cp -r" "$copy_s" 0
awk -v o="$ours_s" -v e="$exif_s" -v t="$tran_s" -v c="$copy_s" 'BEGIN {
    printf "ratio exiftool / reduction: %6.1f (target >= 2)\n", e / o
    printf "ratio jpegtran / reduction: %6.1f (target >= 20)\n", t / o
    printf "ratio reduction / cp -r:    %6.2f (target <= 1.5)\n", o / c
}'
