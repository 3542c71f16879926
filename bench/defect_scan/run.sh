#!/bin/sh
# Defect scan on 20,000 JPEG files (18,000 small ones and 2,000 real 1024x768
# photos; sound, cut off (1 in 10) and with trailing data (1 in 10)), warm cache, against
#  - the floor: a C++ loop that opens each file and reads its last two bytes
#    (target: end-of-image test <= 1.3 x the floor), and
#  - `jpeginfo -c` on the 2,000 photos (target: >= 100 x faster).
. "$(dirname "$0")/../common/preamble.sh"
tool=$(bench_tool bench_defect_scan)
tree=$WORK/tree
"$tool" generate "$tree" "${SMALL:-18000}" "${PICTURES:-2000}"
"$tool" run "$tree" 5 > "$WORK/times"
cat "$WORK/times"

find "$tree/pictures" -name '*.jpg' > "$WORK/pictures.txt"
jpeginfo_s=$(best_seconds 1 sh -c 'xargs -d "\n" jpeginfo -c < "$1" > "$2" 2>&1 || true' \
    sh "$WORK/pictures.txt" "$WORK/jpeginfo.txt")
echo "jpeginfo $jpeginfo_s ($(grep -c 'ERROR\|WARNING' "$WORK/jpeginfo.txt" || true) files flagged)"

awk -v j="$jpeginfo_s" '
    $1 == "floor" { floor = $2 } $1 == "test" { test = $2 }
    $1 == "scan" { scan = $2 } $1 == "pictures" { pictures = $2 }
    $1 == "collect" { collect = $2 } $1 == "rescan" { rescan = $2 }
    END {
        printf "ratio end-of-image test / floor:       %.2f (target <= 1.3)\n", test / floor
        printf "ratio scan engine / (collect + floor): %.2f (copies already in place)\n", rescan / (collect + floor)
        printf "ratio first scan / (collect + floor):  %.2f (writes 2,000 copies)\n", scan / (collect + floor)
        printf "ratio jpeginfo -c / end-of-image test: %.0f (target >= 100)\n", j / pictures
    }' "$WORK/times"
