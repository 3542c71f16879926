#!/bin/sh
# Runs each fuzz target for a set time on one core, at low priority, on a
# working copy of its seed corpus (the committed seeds stay as they are).
# Usage: run_fuzzers.sh BUILD_DIR SECONDS TARGET...
# Prints executions, time and findings per target; exits 1 on any finding.
set -u

build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
status=0
# The end-of-image target rewrites a file for every input: on a disk file
# system that costs milliseconds, in memory microseconds.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    TMPDIR=/dev/shm
    export TMPDIR
fi
for target in "$@"; do
    work="$build/fuzz-runs/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/findings"
    cp "$here/corpus/$target"/* "$work/corpus/"
    # A slow input or a large allocation is a finding: the decoders promise
    # bounded time and memory for any bytes.
    nice -n 10 "$build/fuzz/$target" "$work/corpus" \
        -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -malloc_limit_mb=1024 \
        -max_len=20000 -print_final_stats=1 -artifact_prefix="$work/findings/" \
        >"$work/log.txt" 2>&1
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.txt")
    took=$(sed -n 's/^stat::.*//;s/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$work/log.txt")
    findings=$(find "$work/findings" -type f | wc -l)
    echo "$target: ${runs:-?} executions in ${took:-?} s, $findings findings (log: $work/log.txt)"
    [ "$findings" -eq 0 ] && [ -n "$runs" ] || status=1
done
exit $status
