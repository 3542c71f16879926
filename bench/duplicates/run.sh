#!/bin/sh
# Duplicate search on a tree of about 2,000 real-photograph JPEGs (crops of the
# wallpaper photographs of the Debian packages that install-deps.sh --bench
# installs), about 30 % of them with 1 to 3 copies and about 10 % same-size
# twins with other bytes (another comment, only the last byte changed, one
# byte in the middle changed), warm cache, best of three batches of five runs
# each (rmlint: of single runs), against
#  - `jdupes -r -q` (target: search <= 0.7 x jdupes, the same groups),
#  - `rmlint` (duplicates only, fdupes-style output),
#  - reading every byte of the tree once.
# Also prints the peak memory of the search (target: < 64 MiB plus the lists).
#
# Then, in the same run:
#  - one size class of ${ONE_SIZE_FILES:-300000} small files (a fifth of them
#    copies of others), `kelvasto-batch dupes` against `jdupes -r -q`, best of
#    two runs each: target <= 2 x jdupes' time and <= 4 x its peak memory;
#  - one group of 20 identical files of 50 MB (sparse): the longest time
#    between two moments the search lets the window in while it compares, and
#    the time from a stop request to the search's return (target: < 100 ms).
. "$(dirname "$0")/../common/preamble.sh"
. "$ROOT/bench/common/photos.sh"
tool=$(bench_tool bench_duplicates)
tmp="$WORK"

# A dozen photographs give 120 crops, plenty of real picture content; more
# would only make the tree slower to build.
bench_photo_corpus
# shellcheck disable=SC2046
"$tool" generate "$tmp/tree" "${FILES:-2000}" $(ls -d "$(bench_photo_cache)"/* | head -n "${SOURCES:-12}")

# Best of three batches of N runs of "$@": "wall_seconds cpu_seconds" per run
# (cpu = user + system). On a busy machine the wall time mostly measures the
# other processes; the processor time is the steadier figure, and batches
# keep it clear of the clock's 10 ms steps.
best() {
    n=$1
    shift
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %U %S" -o "$tmp/time" sh -c '
            n=$1; shift; i=0
            while [ "$i" -lt "$n" ]; do "$@" >/dev/null 2>&1; i=$((i + 1)); done' sh "$n" "$@" ||
            true
        tail -n 1 "$tmp/time"
    done | awk -v n="$n" 'NR == 1 || $1 < w { w = $1 } NR == 1 || $2 + $3 < c { c = $2 + $3 }
                          END { printf "%.3f %.3f", w / n, c / n }'
}

"$tool" readall "$tmp/tree" >/dev/null # warm the cache
read_t=$(best 5 "$tool" readall "$tmp/tree")
ours_t=$(best 5 "$tool" search "$tmp/tree" "$tmp/ours.txt")
jdupes_t=$(best 5 jdupes -r -q "$tmp/tree")
rmlint_t=$(best 1 rmlint -T duplicates -o fdupes:"$tmp/rmlint.txt" "$tmp/tree")

"$tool" search "$tmp/tree" "$tmp/ours.txt" > "$tmp/ours.stats"
jdupes -r -q "$tmp/tree" > "$tmp/jdupes.txt"
"$tool" canonical "$tmp/ours.txt" > "$tmp/ours.canon"
"$tool" canonical "$tmp/jdupes.txt" > "$tmp/jdupes.canon"
if cmp -s "$tmp/ours.canon" "$tmp/jdupes.canon"; then same=yes; else same=NO; fi

set -- $(cat "$tmp/ours.stats")
echo "collected $3, possible duplicates $5, found $7, skipped $9, peak memory $(( ${11} / 1024 )) MiB"
echo "groups: $(grep -c '^$' "$tmp/ours.txt" || true) ours, $(grep -c '^$' "$tmp/jdupes.txt" || true) jdupes; the same groups as jdupes: $same"
echo "                      wall s  cpu s"
echo "read every byte once: $read_t"
echo "search (process):     $ours_t"
echo "jdupes -r -q:         $jdupes_t"
echo "rmlint:               $rmlint_t"
echo "$read_t $ours_t $jdupes_t $rmlint_t" | awk '{
    printf "ratio search / jdupes:    wall %.2f  cpu %.2f (target <= 0.7)\n", $3 / $5, $4 / $6
    printf "ratio search / rmlint:    wall %.2f  cpu %.2f\n", $3 / $7, $4 / $8
    printf "ratio search / read once: wall %.2f  cpu %.2f\n", $3 / $1, $4 / $2
    printf "ratio jdupes / read once: wall %.2f  cpu %.2f\n", $5 / $1, $6 / $2 }'

# --- one size class ------------------------------------------------------------
batch="$BUILD/src/cli/kelvasto-batch"
cmake --build "$BUILD" --target kelvasto-batch -j 2 >/dev/null
one="$tmp/one-size"
"$tool" small "$one" "${ONE_SIZE_FILES:-300000}" 1000 1 20
# "wall_seconds peak_kib" of the better of two runs of "$@".
best_of_two() {
    for _ in 1 2; do
        /usr/bin/time -f "%e %M" -o "$tmp/time" "$@" >"$tmp/out" 2>/dev/null || true
        tail -n 1 "$tmp/time"
    done | sort -n | head -n 1
}
jdupes -r -q "$one" >/dev/null # warm the cache
ours_one=$(best_of_two "$batch" dupes "$one")
cp "$tmp/out" "$tmp/ours-one.txt"
jdupes_one=$(best_of_two jdupes -r -q "$one")
cp "$tmp/out" "$tmp/jdupes-one.txt"
"$tool" canonical "$tmp/ours-one.txt" > "$tmp/ours-one.canon"
"$tool" canonical "$tmp/jdupes-one.txt" > "$tmp/jdupes-one.canon"
if cmp -s "$tmp/ours-one.canon" "$tmp/jdupes-one.canon"; then same_one=yes; else same_one=NO; fi
echo "one size class of ${ONE_SIZE_FILES:-300000} files; the same groups as jdupes: $same_one"
echo "                      wall s  peak KiB"
echo "kelvasto-batch dupes: $ours_one"
echo "jdupes -r -q:         $jdupes_one"
echo "$ours_one $jdupes_one" | awk '{
    printf "ratio dupes / jdupes:     time %.2f (target <= 2)  memory %.2f (target <= 4)\n",
           $1 / $3, $2 / $4 }'
rm -rf "$one"

# --- the window during one large group -------------------------------------------
large="$tmp/large-group"
mkdir -p "$large"
i=0
while [ "$i" -lt 20 ]; do truncate -s 50M "$large/big$i.jpg"; i=$((i + 1)); done
"$tool" latency "$large" 100000 >/dev/null # the first reading fills the page cache
"$tool" latency "$large" 100000 | awk '{ printf "whole group: longest gap between message calls %s ms\n", $2 }'
"$tool" latency "$large" 300 | awk '{
    printf "stopped after 300 ms: longest gap %s ms, stop to return %s ms (target < 100)\n", $2, $4 }'

[ "$same" = yes ] && [ "$same_one" = yes ]
