#!/bin/sh
# The defect scan through the main window (offscreen, started by its button)
# against `kelvasto-batch defects --recursive --move` on the same trees, warm
# cache, in the same run:
#   20,000 files in 100 folders, the file list showing their parent:
#     target: window <= 1.5 x command line; an abort click stops the window's
#     scan (closing message shown) within 100 ms;
#   5,000 files in the folder the file list shows (for information).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_window_scan kelvasto-batch >/dev/null
tool="$build/bench/bench_window_scan"
cli="$build/src/cli/kelvasto-batch"
files=${FILES:-20000}
flat=${FLAT:-5000}

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-bench-window-XXXXXX")
trap 'rm -rf "$tmp"' EXIT INT TERM
# Never the real user's settings or files.
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data"
export XDG_CACHE_HOME="$tmp/cache" XDG_RUNTIME_DIR="$tmp/runtime" TMPDIR="$tmp"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# One working folder (and move log) for both programs, so the tool's undo
# takes back the window's moves too.
work="$tmp/work"
mkdir -p "$work" "$XDG_CONFIG_HOME/Morlandt"
printf '{"\\\\Software\\\\Morlandt\\\\Kelvasto\\\\V1.24": {"Arbeitsverzeichnis": "%s/"}}\n' \
    "$work" > "$XDG_CONFIG_HOME/Morlandt/hive.json"

now() { date +%s%N; }
seconds() { awk "BEGIN { printf \"%.6f\", ($2 - $1) / 1e9 }"; }
least() { awk -v a="${1:-$2}" -v b="$2" 'BEGIN { print (b < a ? b : a) }'; }

"$tool" generate "$HOME/tree" "$files"
"$tool" generate "$HOME/flat" "$flat" "$flat"
cat "$HOME"/tree/*/* "$HOME"/flat/*/* > /dev/null # warm cache

# Best of two runs each; every run moves the defective files away and the
# tool's undo puts them back for the next one.
cli_time() {
    best=
    for round in 1 2; do
        start=$(now)
        "$cli" defects --recursive --move "$1" > "$tmp/cli.txt" 2>&1 || true
        end=$(now)
        "$cli" undo > /dev/null 2>&1
        best=$(least "$best" "$(seconds "$start" "$end")")
    done
    echo "$best"
}
window_time() {
    best=
    for round in 1 2; do
        "$tool" scan "$1" "$work" > "$tmp/window.txt"
        "$cli" undo > /dev/null 2>&1
        best=$(least "$best" "$(awk '$1 == "window" { print $2 }' "$tmp/window.txt")")
    done
    echo "$best"
}

cli_tree=$(cli_time "$HOME/tree")
window_tree=$(window_time "$HOME/tree")
"$tool" abort "$HOME/tree" "$work" > "$tmp/abort.txt"
"$cli" undo > /dev/null 2>&1
abort=$(awk '$1 == "abort" { print $2 }' "$tmp/abort.txt")
cli_flat=$(cli_time "$HOME/flat/d000")
window_flat=$(window_time "$HOME/flat/d000")

echo "$files files in folders of 200: command line $cli_tree s, window $window_tree s"
echo "$flat files in the listed folder: command line $cli_flat s, window $window_flat s"
awk -v c="$cli_tree" -v w="$window_tree" -v a="$abort" -v cf="$cli_flat" -v wf="$window_flat" 'BEGIN {
    printf "ratio window / command line: %.2f (target <= 1.5)\n", w / c
    printf "abort latency: %.0f ms (target <= 100)\n", a * 1000
    printf "ratio window / command line, listed folder: %.2f\n", wf / cf }'
