#!/bin/sh
# Peak memory per collected file of the jobs that walk a whole tree, on
# ${FILES:-1000000} small JPEG files in folders of 1,000 (ten sizes, a fifth
# of them copies), generated in the sandbox and removed at exit:
# `defects --recursive`, `dupes`, `empty-folders` and
# `reduce --recursive --app` (nothing to cut: every file is read, none
# written). Bytes per file = (peak RSS - peak RSS of the same command on an
# empty tree) / files, peak RSS as /usr/bin/time -v reports it.
# Target: < 400 bytes per file for each job.
. "$(dirname "$0")/../common/preamble.sh"
tool=$(bench_tool bench_duplicates)
cmake --build "$BUILD" --target kelvasto-batch -j 2 >/dev/null
batch="$BUILD/src/cli/kelvasto-batch"
files=${FILES:-1000000}
tree="$TMPDIR/tree"
empty="$TMPDIR/empty"
mkdir -p "$empty"
"$tool" small "$tree" "$files" 1000 10 20

# "peak_kib wall_seconds" of one run of "$@".
peak() {
    /usr/bin/time -f "%M %e" -o "$WORK/time" "$@" >/dev/null 2>&1 || true
    tail -n 1 "$WORK/time"
}

echo "job            bytes per file   peak KiB  empty tree KiB  wall s"
for job in defects dupes empty-folders reduce; do
    case $job in
    defects) set -- defects --recursive ;;
    reduce) set -- --yes reduce --recursive --app ;;
    *) set -- "$job" ;;
    esac
    base=$(peak "$batch" "$@" "$empty")
    full=$(peak "$batch" "$@" "$tree")
    echo "$job $base $full" | awk -v n="$files" '{
        printf "%-14s %14.1f %10d %15d %7.1f\n", $1, ($4 - $2) * 1024 / n, $4, $2, $5 }'
done
