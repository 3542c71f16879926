#!/bin/sh
# JPEG reduction over COUNT (default 2,000) real photographs: crops of the
# photographs of Debian's wallpaper packages (bench/common/photos.sh), 800 to
# 1,600 pixels wide, each carrying EXIF with a thumbnail, XMP, IPTC, an ICC
# profile and a comment, one in three with data appended behind the picture.
# Every tool gets fresh copies, warm cache, in the same run:
#  - the reduction job with all three options (collecting the tree included),
#  - `exiftool -all= -overwrite_original`, one process (target: >= 2 x slower),
#  - `jpegtran -copy none`, one process a file (target: >= 20 x slower),
#  - copying the same files with `cp -r` (target: reduction <= 1.5 x), and
#    with `cp -r` followed by `sync`: the reduction has what it wrote
#    written out before it renames (waiting for each file, or flushing in
#    batches where the file system does not order renames after data), the
#    other tools leave it to the system.
# A sample of the reduced files is decoded and compared with the originals.
# Everything runs below $TMPDIR (default /tmp): set it to measure another disk.
. "$(dirname "$0")/../common/preamble.sh"
. "$ROOT/bench/common/photos.sh"
tool=$(bench_tool bench_reduction)
count=${COUNT:-2000}

# Made once (about a minute) and kept beside the photo cache.
corpus="$KELVASTO_BENCH_CACHE/reduction-$count"
if [ ! -f "$corpus/.complete" ]; then
    bench_photo_corpus
    rm -rf "$corpus"
    mkdir -p "$corpus"
    "$tool" generate "$corpus/photos" "$count" "$(bench_photo_cache)"/*
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

work="$WORK/photos"
find "$corpus/photos" -name '*.jpg' | sort > "$WORK/originals"
sed "s|^$corpus/photos|$work|" "$WORK/originals" > "$WORK/list"
bytes() { find "$1" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%d", s }'; }
fresh() { rm -rf "$work"; cp -r "$corpus/photos" "$work"; sync; }
now() { date +%s%N; }
seconds() { awk "BEGIN { printf \"%.3f\", ($2 - $1) / 1e9 }"; }
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (b < a ? b : a) }'; }
original=$(bytes "$corpus/photos")
cat "$corpus/photos"/*/* > /dev/null # warm the cache

# Best of five for the quick ones; the machine may be shared. Every copy
# and every reduced tree is made up front or goes to a folder of its own, and
# nothing is removed until all are timed: on ext4 without a journal, a new
# file is searched for past every file freed in the last minutes, so a copy
# made right after removing a tree would be timed with that search.
copy_s=999999
synced_s=999999
ours_s=999999
rounds="1 2 3 4 5"
for round in $rounds; do cp -r "$corpus/photos" "$WORK/reduce-$round"; done
sync
for round in $rounds; do
    # What each tool reads comes from memory, as the files a user just chose.
    cat "$corpus/photos"/*/* "$WORK/reduce-$round"/*/* > /dev/null
    start=$(now); cp -r "$corpus/photos" "$WORK/copy-$round"; end=$(now)
    copy_s=$(least "$copy_s" "$(seconds "$start" "$end")")
    sync
    start=$(now); cp -r "$corpus/photos" "$WORK/synced-$round"; sync; end=$(now)
    synced_s=$(least "$synced_s" "$(seconds "$start" "$end")")
    start=$(now); "$tool" reduce "$WORK/reduce-$round" > /dev/null; end=$(now)
    ours_s=$(least "$ours_s" "$(seconds "$start" "$end")")
    ours_saved=$((original - $(bytes "$WORK/reduce-$round")))
    sync
done
rm -rf "$work"
mv "$WORK/reduce-1" "$work"
for round in $rounds; do rm -rf "$WORK/copy-$round" "$WORK/synced-$round" "$WORK/reduce-$round"; done
head -n 200 "$WORK/originals" > "$WORK/sample_a"
head -n 200 "$WORK/list" > "$WORK/sample_b"
"$tool" compare "$WORK/sample_a" "$WORK/sample_b"

fresh
start=$(now); exiftool -q -q -all= -overwrite_original -r "$work"; end=$(now)
exif_s=$(seconds "$start" "$end")
exif_saved=$((original - $(bytes "$work")))

fresh
start=$(now); "$tool" jpegtran "$WORK/list" > /dev/null; end=$(now)
tran_s=$(seconds "$start" "$end")
tran_saved=$((original - $(bytes "$work")))

echo "$count files, $original bytes"
printf '%-28s %8s s  %12s bytes saved\n' "reduction (all options)" "$ours_s" "$ours_saved" \
    "exiftool -all=" "$exif_s" "$exif_saved" "jpegtran -copy none" "$tran_s" "$tran_saved" \
    "cp -r" "$copy_s" 0 "cp -r, then sync" "$synced_s" 0
echo "ratio exiftool / reduction: $(ratio "$exif_s" "$ours_s") (target >= 2)"
echo "ratio jpegtran / reduction: $(ratio "$tran_s" "$ours_s") (target >= 20)"
echo "ratio reduction / cp -r:    $(ratio "$ours_s" "$copy_s") (target <= 1.5)"
echo "ratio reduction / cp + sync: $(ratio "$ours_s" "$synced_s") (both on disk at the end)"
