#!/bin/sh
# Kills move runs and undos of kelvasto-batch at random moments and checks by
# content hash that every picture still exists exactly once and whole, and
# that `undo --all` brings every one back to its own path.
#
#     sh tests/kill/kill_test.sh KELVASTO_BATCH ROUNDS [BIG_FILE_KB]
#
# Each round builds a fresh tree (hard links of a fixed set of files, most of
# them cut off), then:
#   1. `defects --recursive --move --dest DEST TREE`, killed (SIGKILL) at a
#      random moment; in every third round a second such run, killed too;
#   2. in every other round the same run again, to its end;
#   3. `undo` or `undo --all` (alternating), killed at a random moment;
#   4. `undo --all` to its end.
# Every other round puts DEST on another file system (/dev/shm, or
# $KILLTEST_OTHER_FS), so that moves are copies. After the round, over TREE
# and DEST:
#   lost       pictures found nowhere
#   partial    files whose bytes are no picture's (half-written)
#   duplicates pictures found more than once
#   misplaced  pictures not back at their own path
#   leftovers  temporary files of the program left in TREE, DEST or the
#              working folder
#   records    kept runs left although every picture is back
# Prints the totals; exits 1 unless all of them are 0.
set -u

batch=$1
rounds=$2
big_kb=${3:-6000}
case "$batch" in /*) ;; *) batch=$(pwd)/$batch ;; esac

base=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-kill-XXXXXX")
other_parent=${KILLTEST_OTHER_FS:-/dev/shm}
other=""
if [ -d "$other_parent" ] && [ -w "$other_parent" ] &&
    [ "$(stat -c %d "$other_parent")" != "$(stat -c %d "$base")" ]; then
    other=$(mktemp -d "$other_parent/kelvasto-kill-XXXXXX")
fi
cleanup() {
    rm -rf "$base"
    [ -n "$other" ] && rm -rf "$other"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The program's settings, log and everything else stay inside $base.
export HOME="$base/home" XDG_CONFIG_HOME="$base/config" XDG_DATA_HOME="$base/data"
export TMPDIR="$base/tmp" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
export ASAN_OPTIONS=detect_leaks=0
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Morlandt" "$XDG_DATA_HOME" "$TMPDIR" "$base/work"
printf '{"\\\\Software\\\\Morlandt\\\\Kelvasto\\\\V1.24": {"Arbeitsverzeichnis": "%s/work/"}}\n' \
    "$base" >"$XDG_CONFIG_HOME/Morlandt/hive.json"

# Random bytes without 0xFF hold no end-of-image marker: a cut-off picture.
# A sound one ends in 0xFF 0xD9. Every file's bytes are unique.
cut_file() { # path kilobytes
    head -c $(($2 * 1024 + 4096)) /dev/urandom | tr -d '\377' | head -c $(($2 * 1024)) >"$1"
}
sound_file() {
    cut_file "$1" "$2"
    printf '\377\331' >>"$1"
}
src="$base/src"
mkdir -p "$src/a/deep/er" "$src/b" "$src/c d"
cut_file "$src/a/big.jpg" "$big_kb"
cut_file "$src/b/BIG2.JPEG" $((big_kb / 2))
for i in 1 2 3 4; do cut_file "$src/a/cut$i.jpg" $((big_kb / 6 + 100)); done
cut_file "$src/a/deep/er/cut5.jpg" 200
cut_file "$src/c d/cut 6.jpeg" 150
cut_file "$src/b/.hidden cut.jpg" 100
for i in 1 2 3; do sound_file "$src/b/sound$i.jpg" 120; done
sound_file "$src/a/deep/sound4.jpg" 80
(cd "$src" && find . -type f -exec sha256sum {} + | sort -k 2) >"$base/manifest"
count=$(wc -l <"$base/manifest")

now_ms() { echo $(($(date +%s%N) / 1000000)); }
random_below() { # n > 0
    echo $(($(od -An -N4 -tu4 /dev/urandom | tr -d ' ') % $1))
}

scan() { # dest
    "$batch" defects --recursive --move --dest "$1" "$base/tree" >/dev/null 2>&1
}
undo() {
    "$batch" undo "$@" >/dev/null 2>&1
}
# Runs a command in the background and kills it after a random time below
# the given milliseconds (or lets it finish, if it is quicker).
killed() { # max_ms command...
    max=$1
    shift
    # The program itself in the background (not a subshell), so that the
    # kill reaches it.
    "$@" >/dev/null 2>&1 &
    pid=$!
    delay=$(random_below "$max")
    sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

fresh_tree() {
    rm -rf "$base/tree" "$base/dest" "$other/dest" 2>/dev/null
    cp -al "$src" "$base/tree"
}

# How long the runs take when nothing kills them: the range of kill moments.
fresh_tree
start=$(now_ms)
scan "$base/dest"
scan_ms=$(($(now_ms) - start + 20))
start=$(now_ms)
undo --all
undo_ms=$(($(now_ms) - start + 20))
if [ -n "$other" ]; then
    fresh_tree
    start=$(now_ms)
    scan "$other/dest"
    cross_ms=$(($(now_ms) - start + 20))
    [ "$cross_ms" -gt "$scan_ms" ] && scan_ms=$cross_ms
    start=$(now_ms)
    undo --all
    cross_ms=$(($(now_ms) - start + 20))
    [ "$cross_ms" -gt "$undo_ms" ] && undo_ms=$cross_ms
else
    echo "kill test: no second file system found; every round stays on one" >&2
fi

lost=0 partial=0 duplicates=0 misplaced=0 leftovers=0 records=0 same=0 across=0
round=1
while [ "$round" -le "$rounds" ]; do
    fresh_tree
    dest="$base/dest"
    if [ -n "$other" ] && [ $((round % 2)) -eq 0 ]; then
        dest="$other/dest"
        across=$((across + 1))
    else
        same=$((same + 1))
    fi
    killed "$scan_ms" "$batch" defects --recursive --move --dest "$dest" "$base/tree"
    if [ $((round % 3)) -eq 0 ]; then
        killed "$scan_ms" "$batch" defects --recursive --move --dest "$dest" "$base/tree"
    fi
    if [ $((round % 2)) -eq 1 ]; then
        scan "$dest"
    fi
    if [ $((round % 4)) -lt 2 ]; then
        killed "$undo_ms" "$batch" undo
    else
        killed "$undo_ms" "$batch" undo --all
    fi
    undo --all

    found="$base/found"
    : >"$found"
    for place in "$base/tree" "$dest"; do
        [ -d "$place" ] || continue
        leftovers=$((leftovers + $(find "$place" -name '.kelvasto-tmp-*' | wc -l)))
        (cd "$place" && find . -type f ! -name '.kelvasto-tmp-*' -exec sha256sum {} +) >>"$found"
    done
    leftovers=$((leftovers + $(find "$base/work" -name '.kelvasto-tmp-*' | wc -l)))
    kept=$(find "$base/work/Protokolle" -type f 2>/dev/null | wc -l)
    records=$((records + kept))
    result=$(awk '
        FNR == NR { want[$1] = substr($0, 67); next }
        {
            seen[$1]++
            if (!($1 in want)) partial++
            else if (want[$1] != substr($0, 67)) misplaced++
        }
        END {
            for (h in want) { if (!(h in seen)) lost++; else if (seen[h] > 1) dup++ }
            printf "%d %d %d %d\n", lost, partial, dup, misplaced
        }' "$base/manifest" "$found")
    set -- $result
    if [ "$1$2$3$4$kept" != "00000" ]; then
        echo "round $round (dest $dest): lost $1 partial $2 duplicates $3 misplaced $4 records $kept" >&2
    fi
    # Each round starts without the records of the last one.
    rm -rf "$base/work/Protokolle"
    lost=$((lost + $1)) partial=$((partial + $2))
    duplicates=$((duplicates + $3)) misplaced=$((misplaced + $4))
    round=$((round + 1))
done

echo "kill test: $rounds rounds ($same on one file system, $across across), $count pictures each," \
    "kills within ${scan_ms} ms (move runs) and ${undo_ms} ms (undo)"
echo "lost $lost partial $partial duplicates $duplicates misplaced $misplaced leftovers $leftovers" \
    "records $records"
[ $((lost + partial + duplicates + misplaced + leftovers + records)) -eq 0 ]
