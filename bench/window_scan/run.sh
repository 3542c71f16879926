#!/bin/sh
# The defect scan through the main window (offscreen, started by its button)
# against `kelvasto-batch defects --recursive --move` on the same trees, warm
# cache, in the same run:
#   20,000 files in 100 folders, the file list showing their parent:
#     target: window <= 1.5 x command line; an abort click stops the window's
#     scan (closing message shown) within 100 ms;
#   5,000 files in the folder the file list shows (for information).
. "$(dirname "$0")/../common/preamble.sh"
tool=$(bench_tool bench_window_scan)
cmake --build "$BUILD" --target kelvasto-batch -j 2 >/dev/null
cli="$BUILD/src/cli/kelvasto-batch"
files=${FILES:-20000}
flat=${FLAT:-5000}

# One working folder (and move log) for both programs, so the tool's undo
# takes back the window's moves too.
work="$WORK/work"
mkdir -p "$work" "$XDG_CONFIG_HOME/Morlandt"
printf '{"\\\\Software\\\\Morlandt\\\\Kelvasto\\\\V1.24": {"Arbeitsverzeichnis": "%s/"}}\n' \
    "$work" > "$XDG_CONFIG_HOME/Morlandt/hive.json"

"$tool" generate "$HOME/tree" "$files"
"$tool" generate "$HOME/flat" "$flat" "$flat"
cat "$HOME"/tree/*/* "$HOME"/flat/*/* > /dev/null # warm cache

least() { awk -v a="${1:-$2}" -v b="$2" 'BEGIN { print (b < a ? b : a) }'; }

# Best of two runs each; every run moves the defective files away and the
# tool's undo puts them back for the next one.
cli_time() {
    best=
    for round in 1 2; do
        start=$(date +%s%N)
        "$cli" defects --recursive --move "$1" > "$WORK/cli.txt" 2>&1 || true
        end=$(date +%s%N)
        "$cli" undo > /dev/null 2>&1
        best=$(least "$best" "$(awk -v s="$start" -v e="$end" 'BEGIN { print (e - s) / 1e9 }')")
    done
    echo "$best"
}
window_time() {
    best=
    for round in 1 2; do
        "$tool" scan "$1" "$work" > "$WORK/window.txt"
        "$cli" undo > /dev/null 2>&1
        best=$(least "$best" "$(awk '$1 == "window" { print $2 }' "$WORK/window.txt")")
    done
    echo "$best"
}

cli_tree=$(cli_time "$HOME/tree")
window_tree=$(window_time "$HOME/tree")
"$tool" abort "$HOME/tree" "$work" > "$WORK/abort.txt"
"$cli" undo > /dev/null 2>&1
abort=$(awk '$1 == "abort" { print $2 }' "$WORK/abort.txt")
cli_flat=$(cli_time "$HOME/flat/d000")
window_flat=$(window_time "$HOME/flat/d000")

echo "$files files in folders of 200: command line $cli_tree s, window $window_tree s"
echo "$flat files in the listed folder: command line $cli_flat s, window $window_flat s"
echo "ratio window / command line: $(ratio "$window_tree" "$cli_tree") (target <= 1.5)"
echo "abort latency: $(awk -v a="$abort" 'BEGIN { printf "%.0f", a * 1000 }') ms (target <= 100)"
echo "ratio window / command line, listed folder: $(ratio "$window_flat" "$cli_flat")"
