# A corpus of real photographs for benchmarks: the JPEG photographs that
# Debian's wallpaper packages ship (installed by scripts/install-deps.sh
# --bench), copied once into $KELVASTO_BENCH_CACHE/photos, outside the
# repository and outside the benchmark's sandbox.
#
# Sourced after preamble.sh:
#
#     . "$ROOT/bench/common/photos.sh"
#     bench_photos 200 "$WORK/pictures"          # 200 files, copies
#     bench_photos 200 "$WORK/pictures" link     # hard links, for read-only jobs
#
# or run on its own to fill the cache and list it:  sh bench/common/photos.sh

# Where the packages put their pictures.
BENCH_PHOTO_SOURCES="/usr/share/backgrounds /usr/share/wallpapers"
# Previews and icons are not photographs a user keeps.
BENCH_PHOTO_MIN_BYTES=100000

bench_photo_cache() {
    echo "${KELVASTO_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvasto-bench}/photos"
}

# Fills the cache when it is empty: every JPEG of the sources that starts with
# the JPEG marker and is not a preview, named after its path. The cache files
# are read-only so a benchmark that writes through a hard link fails loudly.
bench_photo_corpus() {
    cache=$(bench_photo_cache)
    if [ -n "$(ls -A "$cache" 2>/dev/null)" ]; then
        return 0
    fi
    sh "$ROOT/scripts/install-deps.sh" --bench >&2
    mkdir -p "$cache.part"
    # shellcheck disable=SC2086
    find $BENCH_PHOTO_SOURCES \( -iname '*.jpg' -o -iname '*.jpeg' \) -type f \
        ! -name 'screenshot.*' -size +"$((BENCH_PHOTO_MIN_BYTES / 1024))"k 2>/dev/null |
        sort | while IFS= read -r photo; do
            [ "$(head -c 2 "$photo" | od -An -tx1 | tr -d ' ')" = "ffd8" ] || continue
            name=$(echo "${photo#/usr/share/}" | tr '/ ' '__')
            cp "$photo" "$cache.part/$name"
        done
    chmod a-w "$cache.part"/*
    rm -rf "$cache"
    mv "$cache.part" "$cache"
}

# How many distinct photographs the corpus holds.
bench_photo_count() {
    bench_photo_corpus
    ls "$(bench_photo_cache)" | wc -l
}

# Puts N photographs into DIR as photo-00001.jpg ...; beyond the corpus size
# the photographs repeat. MODE "copy" (default) gives writable copies, "link"
# hard links into the cache (read-only there; copies where linking fails).
bench_photos() {
    count=$1
    dir=$2
    mode=${3:-copy}
    bench_photo_corpus
    cache=$(bench_photo_cache)
    [ -n "$(ls -A "$cache" 2>/dev/null)" ] || { echo "no photographs in $cache" >&2; return 1; }
    mkdir -p "$dir"
    i=0
    while [ "$i" -lt "$count" ]; do
        for photo in "$cache"/*; do
            [ "$i" -lt "$count" ] || break
            i=$((i + 1))
            target=$(printf '%s/photo-%05d.jpg' "$dir" "$i")
            if [ "$mode" = link ] && ln "$photo" "$target" 2>/dev/null; then
                continue
            fi
            cp "$photo" "$target"
            chmod u+w "$target"
        done
    done
}

# Run on its own: fill the cache and list it.
case "${0##*/}" in
photos.sh)
    set -eu
    ROOT=$(cd "$(dirname "$0")/../.." && pwd)
    bench_photo_corpus
    ls -l "$(bench_photo_cache)"
    echo "$(bench_photo_count) photographs in $(bench_photo_cache)"
    ;;
esac
