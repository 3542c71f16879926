#!/bin/sh
# Builds the Debian package kelvasto_<version>_<arch>.deb from the working tree
# with Debian's own tools, checks it with lintian (an error fails the build)
# and leaves it in the tree's top folder.
#
# The build runs in a copy under build-deb/ (ignored by git): dpkg-buildpackage
# writes into its source folder and puts its results beside it, and neither
# may touch the working tree or the folder that holds it.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/build-deb"
fail() { echo "build-deb: $*" >&2; exit 1; }

version=$(dpkg-parsechangelog -l "$top/debian/changelog" -S Version)
program_version=$(sed -n 's/^project(Kelvasto VERSION \([^ )]*\).*/\1/p' "$top/CMakeLists.txt")
[ "$version" = "$program_version" ] ||
    fail "debian/changelog is at $version, the program at $program_version"
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb="kelvasto_${version}_${arch}.deb"

rm -rf "$out"
tree="$out/kelvasto-$version"
mkdir -p "$tree"
# The working tree as it stands: tracked files and new ones git does not
# ignore, without build folders or earlier packages.
if git -C "$top" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$top" ls-files -z --cached --others --exclude-standard |
        (cd "$top" && xargs -0 sh -c 'for f; do
            if [ -e "$f" ] || [ -L "$f" ]; then printf "%s\0" "$f"; fi
        done' sh) |
        (cd "$top" && tar --null --no-recursion -T - -cf -) | tar -xf - -C "$tree"
else
    (cd "$top" && tar --exclude='./build*' --exclude='./kelvasto_*.deb' -cf - .) |
        tar -xf - -C "$tree"
fi

(cd "$tree" && dpkg-buildpackage -b -us -uc -j"${JOBS:-$(nproc)}") ||
    fail "dpkg-buildpackage failed"
[ -s "$out/$deb" ] || fail "dpkg-buildpackage made no $deb"

# Errors fail the build; warnings are printed for the record.
lintian --fail-on error --display-info "$out/kelvasto_${version}_${arch}.changes" ||
    fail "lintian reports an error"

mv -f "$out/$deb" "$top/$deb"
echo "build-deb: $top/$deb"
echo "install it with:  sudo apt install ./$deb"
