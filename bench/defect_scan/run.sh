#!/bin/sh
# Defect scan on 20,000 JPEG files (18,000 small ones and 2,000 real 1024x768
# photos in folders of 200; sound, cut off (1 in 10) and with trailing data
# (1 in 10)), warm cache, against
#  - the floor (floor_scan): one thread that walks the tree with readdir and
#    d_type, opens each file relative to its folder and reads its last two
#    bytes. Targets: the engine's end-of-image test over the list <= 1.0 x
#    the floor's test loop; the whole `kelvasto-batch defects --recursive
#    --move` job <= 1.3 x the whole floor program;
#  - `jpeginfo -c` on the 2,000 photos (target: >= 100 x slower than the
#    end-of-image test).
#     sh bench/defect_scan/run.sh [BUILD_DIR]    SMALL=, PICTURES=, ROUNDS= to vary
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:-${BUILD_DIR:-$repo/build-bench}}
rounds=${ROUNDS:-5}
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_defect_scan floor_scan kelvasto-batch >/dev/null
tool="$build/bench/bench_defect_scan"
floor="$build/bench/floor_scan"
batch="$build/src/cli/kelvasto-batch"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-bench-defects-XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
# The command-line tool's settings and move log stay inside $tmp.
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Morlandt" "$XDG_DATA_HOME" "$tmp/work"
printf '{"\\\\Software\\\\Morlandt\\\\Kelvasto\\\\V1.24": {"Arbeitsverzeichnis": "%s/work/"}}\n' \
    "$tmp" >"$XDG_CONFIG_HOME/Morlandt/hive.json"

"$tool" generate "$tmp/tree" "${SMALL:-18000}" "${PICTURES:-2000}"
"$tool" run "$tmp/tree" "$rounds" > "$tmp/times"

now_ns() { date +%s%N; }
best=""
keep_best() { # seconds
    if [ -z "$best" ] || awk "BEGIN { exit !($1 < $best) }"; then best=$1; fi
}

# The floor as a whole program, and its walk and test loop inside.
i=0
while [ "$i" -lt "$rounds" ]; do
    start=$(now_ns)
    "$floor" "$tmp/tree" > "$tmp/floor.$i"
    end=$(now_ns)
    keep_best "$(awk "BEGIN { printf \"%.6f\", ($end - $start) / 1e9 }")"
    i=$((i + 1))
done
floor_program=$best
floor_test=$(awk '$1 == "floor_test" { print $2 }' "$tmp"/floor.* | sort -g | head -1)
floor_total=$(awk '$1 == "floor_total" { print $2 }' "$tmp"/floor.* | sort -g | head -1)
echo "floor_program $floor_program"
echo "floor_test $floor_test"

# The whole command-line job; the undo between rounds is not timed.
best=""
i=0
while [ "$i" -lt "$rounds" ]; do
    start=$(now_ns)
    "$batch" defects --recursive --move --dest "$tmp/dest" "$tmp/tree" > "$tmp/moved" 2>/dev/null
    end=$(now_ns)
    keep_best "$(awk "BEGIN { printf \"%.6f\", ($end - $start) / 1e9 }")"
    "$batch" undo > /dev/null 2>&1
    i=$((i + 1))
done
job=$best
echo "job $job ($(grep -c ' -> ' "$tmp/moved" || true) files moved)"
cat "$tmp/times"

jpeginfo_s=""
if command -v jpeginfo > /dev/null; then
    find "$tmp/tree/pictures" -name '*.jpg' > "$tmp/pictures.txt"
    start=$(now_ns)
    xargs -d '\n' jpeginfo -c < "$tmp/pictures.txt" > "$tmp/jpeginfo.txt" 2>&1 || true
    end=$(now_ns)
    jpeginfo_s=$(awk "BEGIN { printf \"%.6f\", ($end - $start) / 1e9 }")
    echo "jpeginfo $jpeginfo_s ($(grep -c 'ERROR\|WARNING' "$tmp/jpeginfo.txt" || true) files flagged)"
fi

awk -v j="$jpeginfo_s" -v ftest="$floor_test" -v fprog="$floor_program" -v ftotal="$floor_total" \
    -v job="$job" '
    $1 == "test" { test = $2 } $1 == "test_ahead" { ahead = $2 } $1 == "pictures" { pictures = $2 }
    $1 == "collect" { collect = $2 } $1 == "rescan" { rescan = $2 } $1 == "scan" { scan = $2 }
    END {
        printf "ratio end-of-image test / floor test loop:   %.2f (target <= 1.0)\n", test / ftest
        printf "  the same with the tester ahead (as the scan): %.2f\n", ahead / ftest
        printf "ratio kelvasto-batch job / floor program:    %.2f (target <= 1.3)\n", job / fprog
        printf "ratio scan engine / floor walk + test:       %.2f (copies already in place)\n", rescan / ftotal
        printf "ratio first scan / floor walk + test:        %.2f (writes 2,000 copies)\n", scan / ftotal
        if (j != "")
            printf "ratio jpeginfo -c / end-of-image test:       %.0f (target >= 100)\n", j / pictures
    }' "$tmp/times"
