#!/bin/sh
# Duplicate search on a tree of about 2,000 real-photograph JPEGs (crops of the
# wallpaper photographs of the Debian packages that install-deps.sh --bench
# installs), about 30 % of them with 1 to 3 copies and about 10 % same-size
# twins with other bytes (another comment, only the last byte changed, one
# byte in the middle changed), warm cache, best of three runs each, against
#  - `jdupes -r -q` (target: search <= 0.7 x jdupes, the same groups),
#  - `rmlint` (duplicates only, fdupes-style output),
#  - reading every byte of the tree once.
# Also prints the peak memory of the search (target: < 64 MiB plus the lists).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_duplicates >/dev/null
tool="$build/bench/bench_duplicates"

sources=$(find /usr/share/backgrounds /usr/share/wallpapers -iname '*.jpg' 2>/dev/null | sort)
if [ -z "$sources" ]; then
    echo "no wallpaper photographs found; run scripts/install-deps.sh --bench" >&2
    exit 1
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-bench-dupes-XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
# shellcheck disable=SC2086
"$tool" generate "$tmp/tree" "${FILES:-2000}" $sources

best() { # best wall time in seconds of three runs of "$@"
    b=999999999
    for _ in 1 2 3; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || true
        end=$(date +%s%N)
        t=$(( (end - start) / 1000 ))
        [ "$t" -lt "$b" ] && b=$t
    done
    awk "BEGIN { printf \"%.4f\", $b / 1e6 }"
}

"$tool" readall "$tmp/tree" >/dev/null # warm the cache
read_s=$(best "$tool" readall "$tmp/tree")
ours_s=$(best "$tool" search "$tmp/tree" "$tmp/ours.txt")
jdupes_s=$(best jdupes -r -q "$tmp/tree")
rmlint_s=$(best rmlint -T duplicates -o fdupes:"$tmp/rmlint.txt" "$tmp/tree")

"$tool" search "$tmp/tree" "$tmp/ours.txt" > "$tmp/ours.stats"
jdupes -r -q "$tmp/tree" > "$tmp/jdupes.txt"
"$tool" canonical "$tmp/ours.txt" > "$tmp/ours.canon"
"$tool" canonical "$tmp/jdupes.txt" > "$tmp/jdupes.canon"
if cmp -s "$tmp/ours.canon" "$tmp/jdupes.canon"; then same=yes; else same=NO; fi

set -- $(cat "$tmp/ours.stats")
echo "collected $3, possible duplicates $5, found $7, skipped $9, peak memory $(( ${11} / 1024 )) MiB"
echo "groups: $(grep -c '^$' "$tmp/ours.txt" || true) ours, $(grep -c '^$' "$tmp/jdupes.txt" || true) jdupes; the same groups as jdupes: $same"
echo "read every byte once: $read_s s"
echo "search (process):     $ours_s s"
echo "jdupes -r -q:         $jdupes_s s"
echo "rmlint:               $rmlint_s s"
awk "BEGIN { printf \"ratio search / jdupes:    %.2f (target <= 0.7)\n\", $ours_s / $jdupes_s;
             printf \"ratio search / rmlint:    %.2f\n\", $ours_s / $rmlint_s;
             printf \"ratio search / read once: %.2f\n\", $ours_s / $read_s;
             printf \"ratio jdupes / read once: %.2f\n\", $jdupes_s / $read_s }"
[ "$same" = yes ]
