#!/bin/sh
# Thorough defect check on N real photographs (default 200; the issue's full
# size is N=2000, about ten minutes here), 1 in 20 damaged in the middle (four
# bytes overwritten inside the scan data, end marker intact) and 1 in 20 cut
# off, against in the same run:
#  - `jpeginfo -c` (target: thorough check <= 0.5 x its time), with the table
#    of agreement between its ERROR/WARNING and our defective files;
#  - a one-thread loop of the same 1/8-scale check (target <= 0.6 x: both
#    cores used well), and of the picture library's plain 1/8-scale decode.
. "$(dirname "$0")/../common/preamble.sh"
. "$ROOT/bench/common/photos.sh"
tool=$(bench_tool bench_thorough)
count=${N:-200}
dir=$WORK/photos
bench_photos "$count" "$dir"
"$tool" damage "$dir"
"$tool" verdicts "$dir" > "$WORK/verdicts.txt"
"$tool" time "$dir" "${ROUNDS:-2}" > "$WORK/times"
cat "$WORK/times"

jpeginfo_s=$(best_seconds "${ROUNDS:-2}" sh -c 'cd "$1" && jpeginfo -c *.jpg > "$2" 2>&1 || true' \
    sh "$dir" "$WORK/jpeginfo.txt")
echo "jpeginfo $jpeginfo_s"

# Agreement: our verdict against jpeginfo's, per injected damage.
awk -F'\t' 'NR == FNR { ours[$1] = $2; why[$1] = $3; next }
    {
        name = $0; sub(/ .*/, "", name)
        theirs = "OK"
        if ($0 ~ / ERROR( |$)/) theirs = "ERROR"; else if ($0 ~ / WARNING( |$)/) theirs = "WARNING"
        n = substr(name, 7, 5) + 0 - 1
        kind = (n % 20 == 7) ? "overwritten" : (n % 20 == 13) ? "cut off" : "untouched"
        cell[kind " | " theirs " | " ours[name]]++
        flagged = (theirs != "OK"); mine = (ours[name] == "defective")
        if (flagged == mine) agree++; else { differ++; diff[differ] = name " jpeginfo " theirs " ours " ours[name] " (" why[name] ")" }
    }
    END {
        print "damage      | jpeginfo | ours      | files"
        for (c in cell) printf "%s | %d\n", c, cell[c] | "sort"
        close("sort")
        printf "agree %d, differ %d\n", agree, differ
        for (i = 1; i <= differ; i++) print "  " diff[i]
    }' "$WORK/verdicts.txt" "$WORK/jpeginfo.txt"

awk -v j="$jpeginfo_s" '
    $1 == "thorough" { t = $2 } $1 == "loop1" { l = $2 } $1 == "decode1" { d = $2 }
    $1 == "scan" { s = $2 } $1 == "cpu" { c = $2 }
    END {
        printf "cores the thorough check got (cpu / wall): %.2f (other load on the machine lowers it)\n", c / t
        printf "ratio thorough check / jpeginfo -c:        %.2f (target <= 0.5)\n", t / j
        printf "ratio thorough check / one-thread check:   %.2f (target <= 0.6)\n", t / l
        printf "ratio thorough check / one-thread decode:  %.2f\n", t / d
        printf "ratio whole scan engine / jpeginfo -c:     %.2f\n", s / j
    }' "$WORK/times"
