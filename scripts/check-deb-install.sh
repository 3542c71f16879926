#!/bin/sh
# Installs a kelvasto package with apt, runs the installed kelvasto-batch,
# removes the package with apt and names every trace it leaves: all in a
# throwaway copy of this machine's root, so the machine itself is untouched.
#   check-deb-install.sh kelvasto_<version>_<arch>.deb
#
# The copy is an overlay over / in a private mount namespace: apt and dpkg
# write into the overlay's upper folder only, and what is still there after
# the removal is exactly what the install and the removal changed. Needs
# root (as apt does), unshare and overlayfs. The package's dependencies must
# already be installed on this machine: the copy fetches nothing.
set -eu
fail() { echo "check-deb-install: $*" >&2; exit 1; }
[ $# -eq 1 ] && [ -s "$1" ] || fail "usage: check-deb-install.sh PACKAGE.deb"
[ "$(id -u)" -eq 0 ] || fail "needs root, as apt does"
deb=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")

scratch=$(mktemp -d /var/tmp/kelvasto-apt-XXXXXX)
mkdir "$scratch/upper" "$scratch/work" "$scratch/root"
cleanup() {
    # The merged root shows the whole machine: never delete through it.
    if mountpoint -q "$scratch/root"; then
        echo "check-deb-install: $scratch/root is still mounted, left in place" >&2
        return
    fi
    rm -rf "$scratch/upper" "$scratch/work"
    rmdir "$scratch/root" "$scratch"
}
trap cleanup EXIT

# The steps inside the copy; $1 is the package's name there.
round='
set -eu
fail() { echo "check-deb-install: $*" >&2; exit 1; }
dpkg -s kelvasto >/dev/null 2>&1 && fail "kelvasto is already installed on this machine"
ms() { echo $(($(date +%s%N) / 1000000)); }
start=$(ms)
apt install -y "$1" >/tmp/install.log 2>&1 || { cat /tmp/install.log; fail "apt install failed"; }
installed=$(ms)
echo "installed by apt in $((installed - start)) ms"
echo "installed size: $(dpkg-query -W -f="\${Installed-Size}" kelvasto) KiB, files: $(dpkg -L kelvasto | while read -r f; do [ -f "$f" ] && echo; done | wc -l)"
for f in /usr/bin/kelvasto /usr/bin/kelvasto-batch \
    /usr/share/applications/org.example.kelvasto.desktop \
    /usr/share/metainfo/org.example.kelvasto.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/org.example.kelvasto.svg \
    /usr/share/man/man1/kelvasto.1.gz /usr/share/man/man1/kelvasto-batch.1.gz; do
    dpkg -S "$f" >/dev/null 2>&1 || fail "the package did not install $f"
done
echo "installed: both programs in /usr/bin, menu entry, AppStream file, icon, manual pages"
HOME=/tmp LC_ALL=C.UTF-8 kelvasto-batch --help >/tmp/help.txt || fail "kelvasto-batch --help failed"
echo "kelvasto-batch --help: $(wc -l </tmp/help.txt) lines"
apt remove -y kelvasto >/tmp/remove.log 2>&1 || { cat /tmp/remove.log; fail "apt remove failed"; }
echo "removed by apt in $(($(ms) - installed)) ms"
status=$(dpkg-query -W -f="\${db:Status-Status}" kelvasto 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = not-installed ] || fail "dpkg still records kelvasto as $status"
'
unshare --mount --propagation private sh -eu -c '
    scratch=$1 deb=$2 round=$3
    root=$scratch/root
    mount -t overlay overlay \
        -o "lowerdir=/,upperdir=$scratch/upper,workdir=$scratch/work" "$root"
    mount --rbind /dev "$root/dev"
    mount -t proc proc "$root/proc"
    mount -t tmpfs tmpfs "$root/tmp"
    cp "$deb" "$root/tmp/"
    chroot "$root" sh -c "$round" round "/tmp/$(basename "$deb")"
' sh "$scratch" "$deb" "$round"

# What the install and the removal changed, apart from apt's and dpkg's own
# records, logs and caches (rebuilt by their triggers).
changed=$(cd "$scratch/upper" && find . -mindepth 1 ! -type d |
    grep -v -e '^\./var/log/' -e '^\./var/cache/' -e '^\./var/lib/apt/' \
        -e '^\./var/lib/dpkg/' -e '^\./tmp/' || true)
traces=""
newline='
'
IFS=$newline
for f in $changed; do
    if [ -c "$scratch/upper/$f" ]; then
        traces="$traces${f#.} (deleted from the machine)$newline"
    elif echo "$f" | grep -qi kelvasto || grep -qi kelvasto "$scratch/upper/$f"; then
        traces="$traces${f#.}$newline"
    fi
done
unset IFS
leftovers=$(cd "$scratch/upper" && find . -mindepth 1 -path '*kelvasto*' | sed 's/^\.//')
if [ -n "$traces$leftovers" ]; then
    echo "check-deb-install: left behind:" >&2
    printf '%s%s\n' "$traces" "$leftovers" | grep . | sort -u >&2
    exit 1
fi
echo "removed without a trace; files the triggers rewrote without naming kelvasto:"
[ -z "$changed" ] || echo "$changed" | sed 's/^\./  /'
