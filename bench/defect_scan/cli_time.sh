#!/bin/sh
# Times the whole command-line job on a generated tree:
#   sh cli_time.sh TOOL TREE [ROUNDS]
# prints the best of ROUNDS runs of
#   cli-move  kelvasto-batch defects --recursive --move (on a hard-linked copy
#             of TREE each round, so every round moves the same files), and
#   cli-copy  kelvasto-batch defects --recursive with the copies already there.
# HOME, XDG_* and TMPDIR point into a fresh folder; the working folder is set
# in that sandbox's settings, so nothing lands beside the tool.
set -eu
tool=$1
tree=$2
rounds=${3:-3}
sandbox=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-bench-cli-XXXXXX")
trap 'rm -rf "$sandbox"' EXIT INT TERM
export HOME="$sandbox/home" XDG_CONFIG_HOME="$sandbox/config" XDG_DATA_HOME="$sandbox/data"
export TMPDIR="$sandbox/tmp" LC_ALL=C.UTF-8
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Morlandt" "$XDG_DATA_HOME" "$TMPDIR" "$sandbox/work"
printf '{"\\\\Software\\\\Morlandt\\\\Kelvasto\\\\V1.24": {"Arbeitsverzeichnis": "%s/work/", "Sprache": 10000}}\n' \
    "$sandbox" > "$XDG_CONFIG_HOME/Morlandt/hive.json"

seconds() { awk "BEGIN { printf \"%.6f\", ($2 - $1) / 1e9 }"; }
best() { awk 'NR == 1 || $1 < b { b = $1 } END { printf "%.6f", b }'; }

: > "$sandbox/move.txt"
i=0
while [ "$i" -lt "$rounds" ]; do
    rm -rf "$sandbox/round" "$sandbox/work/Defekt"
    cp -al "$tree" "$sandbox/round"
    start=$(date +%s%N)
    "$tool" defects --recursive --move "$sandbox/round" > /dev/null 2> "$sandbox/err.txt"
    end=$(date +%s%N)
    seconds "$start" "$end" >> "$sandbox/move.txt"; echo >> "$sandbox/move.txt"
    i=$((i + 1))
done
echo "cli-move $(best < "$sandbox/move.txt")"

rm -rf "$sandbox/work/Defekt"
"$tool" defects --recursive "$tree" > /dev/null 2>&1 || true
: > "$sandbox/copy.txt"
i=0
while [ "$i" -lt "$rounds" ]; do
    start=$(date +%s%N)
    "$tool" defects --recursive "$tree" > /dev/null 2>&1 || true
    end=$(date +%s%N)
    seconds "$start" "$end" >> "$sandbox/copy.txt"; echo >> "$sandbox/copy.txt"
    i=$((i + 1))
done
echo "cli-copy $(best < "$sandbox/copy.txt")"
