#!/bin/sh
# Defect scan on 20,000 JPEG files (18,000 small ones and 2,000 real 1024x768
# photos in folders of 200; sound, cut off (1 in 10) and with trailing data
# (1 in 10)), warm cache, against
#  - the floor (floor_scan): one thread that walks the tree with readdir and
#    d_type, opens each file relative to its folder and reads its last two
#    bytes. Targets: the engine's end-of-image test over the list, as the
#    scan runs it (its testers on every core, ahead of the scan), <= 1.0 x
#    the floor's test loop (the test in turn on one thread is shown too);
#    the whole `kelvasto-batch defects --recursive --move` job <= 1.3 x the
#    whole floor program;
#  - `jpeginfo -c` on the 2,000 photos (target: >= 100 x slower than the
#    end-of-image test).
#     sh bench/defect_scan/run.sh [BUILD_DIR]    SMALL=, PICTURES=, ROUNDS= to vary
. "$(dirname "$0")/../common/preamble.sh"
rounds=${ROUNDS:-5}
tool=$(bench_tool bench_defect_scan)
floor=$(bench_tool floor_scan)
cmake --build "$BUILD" --target kelvasto-batch -j 2 >/dev/null
batch="$BUILD/src/cli/kelvasto-batch"
tree=$WORK/tree

# The command-line tool's working folder and move log stay in the sandbox.
mkdir -p "$XDG_CONFIG_HOME/Morlandt" "$WORK/work"
printf '{"\\\\Software\\\\Morlandt\\\\Kelvasto\\\\V1.24": {"Arbeitsverzeichnis": "%s/work/"}}\n' \
    "$WORK" >"$XDG_CONFIG_HOME/Morlandt/hive.json"

"$tool" generate "$tree" "${SMALL:-18000}" "${PICTURES:-2000}"
"$tool" run "$tree" "$rounds" > "$WORK/times"

# The floor as a whole program, and its test loop inside.
floor_program=$(best_seconds "$rounds" "$floor" "$tree")
i=0
while [ "$i" -lt "$rounds" ]; do
    "$floor" "$tree" >> "$WORK/floor"
    i=$((i + 1))
done
floor_test=$(awk '$1 == "floor_test" { print $2 }' "$WORK/floor" | sort -g | head -1)
floor_total=$(awk '$1 == "floor_total" { print $2 }' "$WORK/floor" | sort -g | head -1)
echo "floor_program $floor_program"
echo "floor_test $floor_test"

# The whole command-line job, best of the rounds; the undo that puts the
# files back between rounds is not timed.
job=""
i=0
while [ "$i" -lt "$rounds" ]; do
    t=$(best_seconds 1 "$batch" defects --recursive --move --dest "$WORK/dest" "$tree")
    if [ -z "$job" ] || awk "BEGIN { exit !($t < $job) }"; then job=$t; fi
    "$batch" undo > /dev/null 2>&1
    i=$((i + 1))
done
echo "job $job"
cat "$WORK/times"

find "$tree/pictures" -name '*.jpg' > "$WORK/pictures.txt"
jpeginfo_s=$(best_seconds 1 sh -c 'xargs -d "\n" jpeginfo -c < "$1" > "$2" 2>&1 || true' \
    sh "$WORK/pictures.txt" "$WORK/jpeginfo.txt")
echo "jpeginfo $jpeginfo_s ($(grep -c 'ERROR\|WARNING' "$WORK/jpeginfo.txt" || true) files flagged)"

awk -v j="$jpeginfo_s" -v ftest="$floor_test" -v fprog="$floor_program" -v ftotal="$floor_total" \
    -v job="$job" '
    $1 == "test" { test = $2 } $1 == "test_ahead" { ahead = $2 } $1 == "pictures" { pictures = $2 }
    $1 == "collect" { collect = $2 } $1 == "rescan" { rescan = $2 } $1 == "scan" { scan = $2 }
    END {
        printf "ratio end-of-image test / floor test loop:    %.2f (target <= 1.0; as the scan runs it)\n", ahead / ftest
        printf "  the same in turn on one thread:               %.2f\n", test / ftest
        printf "ratio kelvasto-batch job / floor program:     %.2f (target <= 1.3)\n", job / fprog
        printf "ratio scan engine / floor walk + test:        %.2f (copies already in place)\n", rescan / ftotal
        printf "ratio first scan / floor walk + test:         %.2f (writes 2,000 copies)\n", scan / ftotal
        printf "ratio jpeginfo -c / end-of-image test:        %.0f (target >= 100)\n", j / pictures
    }' "$WORK/times"
