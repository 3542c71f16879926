#!/bin/sh
# Installs the build in $1 into a temporary prefix and checks what a desktop
# needs: both programs, the menu entry, the AppStream file, the icon and the
# manual pages in their freedesktop places, each valid.
set -eu
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/kelvasto-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT INT TERM
fail() { echo "check_install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

for f in bin/kelvasto bin/kelvasto-batch; do
    [ -x "$prefix/$f" ] || fail "$f is missing or not executable"
done
desktop="$prefix/share/applications/org.example.kelvasto.desktop"
metainfo="$prefix/share/metainfo/org.example.kelvasto.metainfo.xml"
icon="$prefix/share/icons/hicolor/scalable/apps/org.example.kelvasto.svg"
man="$prefix/share/man/man1/kelvasto-batch.1"
program_man="$prefix/share/man/man1/kelvasto.1"
for f in "$desktop" "$metainfo" "$icon" "$man" "$program_man"; do
    [ -s "$f" ] || fail "$f is missing"
done

desktop-file-validate "$desktop" || fail "the menu entry is not valid"
appstreamcli validate --no-net "$metainfo" || fail "the AppStream file is not valid"

# The entry starts a program that was installed, under an icon that was.
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not installed"
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ "$icon_name" = "org.example.kelvasto" ] || fail "Icon=$icon_name has no installed icon"
grep -q '<launchable type="desktop-id">org.example.kelvasto.desktop</launchable>' "$metainfo" ||
    fail "the AppStream file does not name the menu entry"
grep -q '<svg' "$icon" || fail "the icon is not an SVG picture"
# The installed command-line tool runs and answers --help.
"$prefix/bin/kelvasto-batch" --help >/dev/null || fail "kelvasto-batch --help failed"
head -1 "$man" | grep -q '^\.TH KELVASTO-BATCH 1' || fail "the manual page has no title line"
head -1 "$program_man" | grep -q '^\.TH KELVASTO 1' || fail "the program's manual page has no title line"
# The manual page describes every job the installed tool offers.
jobs=$(LC_ALL=C.UTF-8 "$prefix/bin/kelvasto-batch" --help | sed -n '/^Jobs:/,/^$/s/^  \([a-z-]*\) .*/\1/p')
[ -n "$jobs" ] || fail "kelvasto-batch --help lists no jobs"
for job in $jobs; do
    grep -q "^\.B $(printf '%s' "$job" | sed 's/-/\\\\-/g')\( \|\$\)" "$man" ||
        fail "the manual page does not describe the job $job"
done
echo "check_install: ok"
