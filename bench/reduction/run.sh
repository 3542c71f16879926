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
#    with `cp -r` followed by `sync`.
# The targets hold on ext4 with a journal, as a desktop's disk has: the
# benchmark makes one in a file (mkfs.ext4) and mounts it through a loop
# device, which needs root; without root it says so and measures only the
# disk below $TMPDIR. On that disk (whatever it is) the reduction and `cp -r`
# are timed as well. Where a file system does not put a file's data on disk
# before the rename that replaces the old file (ext4 without a journal, and
# every file system not known to), the reduction flushes each file before
# its rename; the other tools leave it to the system.
# A sample of the reduced files is decoded and compared with the originals.
# Everything runs below $TMPDIR (default /tmp): set it to measure another disk.
. "$(dirname "$0")/../common/preamble.sh"
. "$ROOT/bench/common/photos.sh"
tool=$(bench_tool bench_reduction)
count=${COUNT:-2000}
rounds="1 2 3"

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

bytes() { find "$1" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%d", s }'; }
now() { date +%s%N; }
seconds() { awk "BEGIN { printf \"%.3f\", ($2 - $1) / 1e9 }"; }
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (b < a ? b : a) }'; }
original=$(bytes "$corpus/photos")
find "$corpus/photos" -name '*.jpg' | sort > "$WORK/originals"
cat "$corpus/photos"/*/* > /dev/null # warm the cache

# Times the reduction and `cp -r` below the folder $1 (best of the rounds),
# and with $2 = peers also exiftool and jpegtran; prints the figures.
measure() {
    base=$1
    copy_s=999999
    synced_s=999999
    ours_s=999999
    # Every copy and every tree to reduce is made up front or goes to a
    # folder of its own, and nothing is removed until all are timed: on ext4
    # without a journal, a new file is searched for past every file freed in
    # the last minutes, so a copy made right after removing a tree would be
    # timed with that search.
    for round in $rounds; do cp -r "$corpus/photos" "$base/reduce-$round"; done
    sync
    for round in $rounds; do
        # What each tool reads comes from memory, as the files a user just chose.
        cat "$corpus/photos"/*/* "$base/reduce-$round"/*/* > /dev/null
        start=$(now); cp -r "$corpus/photos" "$base/copy-$round"; end=$(now)
        copy_s=$(least "$copy_s" "$(seconds "$start" "$end")")
        sync
        start=$(now); cp -r "$corpus/photos" "$base/synced-$round"; sync; end=$(now)
        synced_s=$(least "$synced_s" "$(seconds "$start" "$end")")
        start=$(now); "$tool" reduce "$base/reduce-$round" > /dev/null; end=$(now)
        ours_s=$(least "$ours_s" "$(seconds "$start" "$end")")
        ours_saved=$((original - $(bytes "$base/reduce-$round")))
        sync
    done
    sed "s|^$corpus/photos|$base/reduce-1|" "$WORK/originals" | head -n 200 > "$WORK/sample_b"
    head -n 200 "$WORK/originals" > "$WORK/sample_a"
    "$tool" compare "$WORK/sample_a" "$WORK/sample_b"
    for round in $rounds; do rm -rf "$base/copy-$round" "$base/synced-$round" "$base/reduce-$round"; done
    printf '%-28s %8s s  %12s bytes saved\n' "reduction (all options)" "$ours_s" "$ours_saved" \
        "cp -r" "$copy_s" 0 "cp -r, then sync" "$synced_s" 0
    if [ "${2:-}" = peers ]; then
        work="$base/photos"
        sed "s|^$corpus/photos|$work|" "$WORK/originals" > "$WORK/list"
        rm -rf "$work"; cp -r "$corpus/photos" "$work"; sync
        start=$(now); exiftool -q -q -all= -overwrite_original -r "$work"; end=$(now)
        exif_s=$(seconds "$start" "$end")
        exif_saved=$((original - $(bytes "$work")))
        rm -rf "$work"; cp -r "$corpus/photos" "$work"; sync
        start=$(now); "$tool" jpegtran "$WORK/list" > /dev/null; end=$(now)
        tran_s=$(seconds "$start" "$end")
        tran_saved=$((original - $(bytes "$work")))
        rm -rf "$work"
        printf '%-28s %8s s  %12s bytes saved\n' "exiftool -all=" "$exif_s" "$exif_saved" \
            "jpegtran -copy none" "$tran_s" "$tran_saved"
        echo "ratio exiftool / reduction: $(ratio "$exif_s" "$ours_s") (target >= 2)"
        echo "ratio jpegtran / reduction: $(ratio "$tran_s" "$ours_s") (target >= 20)"
        echo "ratio reduction / cp -r:    $(ratio "$ours_s" "$copy_s") (target <= 1.5)"
    else
        echo "ratio reduction / cp -r:    $(ratio "$ours_s" "$copy_s")"
    fi
    echo "ratio reduction / cp + sync: $(ratio "$ours_s" "$synced_s") (both on disk at the end)"
}

echo "$count files, $original bytes; load: $(uptime)"

# ext4 with a journal, in a file mounted through a loop device.
mnt="$WORK/ext4"
# Unmounted before the sandbox goes (set -e holds in the trap too).
trap 'umount "$mnt" 2>/dev/null || true; find "$WORK" -type d -exec chmod u+rwx {} + 2>/dev/null; rm -rf "$WORK"' EXIT
mkdir -p "$mnt"
# Room for the trees of every round at once, and the peers' tree.
image_bytes=$((original * 12 + 512 * 1024 * 1024))
if [ "$(id -u)" -eq 0 ] && truncate -s "$image_bytes" "$WORK/ext4.img" &&
    mkfs.ext4 -q -F -O has_journal "$WORK/ext4.img" && mount -o loop "$WORK/ext4.img" "$mnt"; then
    echo "== ext4 with a journal (loop device, $(findmnt -n -o OPTIONS "$mnt"))"
    measure "$mnt" peers
    umount "$mnt"
    rm -f "$WORK/ext4.img"
else
    echo "== ext4 with a journal: not measured (needs root and a loop device)"
fi

disk=$(findmnt -n -T "$WORK" -o FSTYPE,OPTIONS | tr -s ' ')
journal=""
if [ "$(stat -f -c %T "$WORK")" = "ext2/ext3" ]; then
    device=$(basename "$(readlink -f "/sys/dev/block/$(mountpoint -d "$(findmnt -n -T "$WORK" -o TARGET)")")")
    grep -q '^data=' "/proc/fs/ext4/$device/options" 2>/dev/null && journal=", with a journal" ||
        journal=", without a journal"
fi
echo "== this machine's disk below \$TMPDIR ($disk$journal)"
measure "$WORK"
echo "load: $(uptime)"
