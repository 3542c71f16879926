#!/bin/sh
# Collection of 100,000 files in 5,000 folders against
# `find DIR -name '*.jpg' -o -name '*.jpeg'` over the same tree, warm cache,
# best of five runs each. Target: ratio <= 1.5.
. "$(dirname "$0")/../common/preamble.sh"
tool=$(bench_tool bench_collection)
tree=$WORK/tree
"$tool" generate "$tree" "${FOLDERS:-5000}" "${FILES:-100000}"

best_find=$(best_us 5 find "$tree" -name '*.jpg' -o -name '*.jpeg')
best_whole=$(best_us 5 "$tool" run "$tree" 1)
set -- $("$tool" run "$tree" 5)
engine_us=$(awk "BEGIN { printf \"%d\", $1 * 1000000 }")
two_walks_us=$("$tool" run-two-walks "$tree" 5 | awk '{ printf "%d", $1 * 1000000 }')
found=$(find "$tree" -name '*.jpg' -o -name '*.jpeg' | wc -l)

echo "files collected: $2 (find lists $found: it is case-sensitive and enters hidden folders)"
echo "find:                        $best_find us"
echo "CollectFilesRecursive:       $engine_us us   (inside the process)"
echo "bench_collection process:    $best_whole us  (with program start)"
echo "one call per mask (2 walks): $two_walks_us us"
echo "ratio engine / find:  $(ratio "$engine_us" "$best_find")"
echo "ratio process / find: $(ratio "$best_whole" "$best_find")"
echo "ratio two walks / find: $(ratio "$two_walks_us" "$best_find")"
