#!/bin/sh
# Collection of 100,000 files in 5,000 folders against
# `find DIR -name '*.jpg' -o -name '*.jpeg'` over the same tree, warm cache,
# best of five runs each. Target: ratio <= 1.5.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_collection >/dev/null
tool="$build/bench/bench_collection"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-bench-collection-XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
"$tool" generate "$tmp/tree" "${FOLDERS:-5000}" "${FILES:-100000}"

best_find=999999
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    find "$tmp/tree" -name '*.jpg' -o -name '*.jpeg' >/dev/null
    end=$(date +%s%N)
    t=$(( (end - start) / 1000 ))
    [ "$t" -lt "$best_find" ] && best_find=$t
done

best_whole=999999
for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$tool" run "$tmp/tree" 1 >/dev/null
    end=$(date +%s%N)
    t=$(( (end - start) / 1000 ))
    [ "$t" -lt "$best_whole" ] && best_whole=$t
done
set -- $("$tool" run "$tmp/tree" 5)
engine_us=$(awk "BEGIN { printf \"%d\", $1 * 1000000 }")
two_walks_us=$("$tool" run-two-walks "$tmp/tree" 5 | awk '{ printf "%d", $1 * 1000000 }')
found=$(find "$tmp/tree" -name '*.jpg' -o -name '*.jpeg' | wc -l)

echo "files collected: $2 (find lists $found: it is case-sensitive and enters hidden folders)"
echo "find:                        $best_find us"
echo "CollectFilesRecursive:       $engine_us us   (inside the process)"
echo "bench_collection process:    $best_whole us  (with program start)"
echo "one call per mask (2 walks): $two_walks_us us"
awk "BEGIN { printf \"ratio engine / find:  %.2f\n\", $engine_us / $best_find;
             printf \"ratio process / find: %.2f\n\", $best_whole / $best_find;
             printf \"ratio two walks / find: %.2f\n\", $two_walks_us / $best_find }"
