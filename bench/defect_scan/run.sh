#!/bin/sh
# Defect scan on 20,000 JPEG files (18,000 small ones and 2,000 real 1024x768
# photos; sound, cut off (1 in 10) and with trailing data (1 in 10)), warm cache, against
#  - the floor: a C++ loop that opens each file and reads its last two bytes
#    (target: end-of-image test <= 1.3 x the floor), and
#  - `jpeginfo -c` on the 2,000 photos (target: >= 100 x faster).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_defect_scan >/dev/null
tool="$build/bench/bench_defect_scan"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-bench-defects-XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
"$tool" generate "$tmp/tree" "${SMALL:-18000}" "${PICTURES:-2000}"
"$tool" run "$tmp/tree" 5 > "$tmp/times"
cat "$tmp/times"

find "$tmp/tree/pictures" -name '*.jpg' > "$tmp/pictures.txt"
start=$(date +%s%N)
xargs -d '\n' jpeginfo -c < "$tmp/pictures.txt" > "$tmp/jpeginfo.txt" 2>&1 || true
end=$(date +%s%N)
jpeginfo_s=$(awk "BEGIN { printf \"%.6f\", ($end - $start) / 1e9 }")
echo "jpeginfo $jpeginfo_s ($(grep -c 'ERROR\|WARNING' "$tmp/jpeginfo.txt" || true) files flagged)"

awk -v j="$jpeginfo_s" '
    $1 == "floor" { floor = $2 } $1 == "test" { test = $2 }
    $1 == "scan" { scan = $2 } $1 == "pictures" { pictures = $2 }
    $1 == "collect" { collect = $2 } $1 == "rescan" { rescan = $2 }
    END {
        printf "ratio end-of-image test / floor:       %.2f (target <= 1.3)\n", test / floor
        printf "ratio scan engine / (collect + floor): %.2f (copies already in place)\n", rescan / (collect + floor)
        printf "ratio first scan / (collect + floor):  %.2f (writes 2,000 copies)\n", scan / (collect + floor)
        printf "ratio jpeginfo -c / end-of-image test: %.0f (target >= 100)\n", j / pictures
    }' "$tmp/times"
