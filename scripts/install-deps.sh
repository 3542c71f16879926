#!/bin/sh
# Installs the Debian packages that building, testing and running Kelvasto need.
# Idempotent: does nothing when everything is present.
#   --bench  also the benchmarks' peer tools and photographs
#   --fuzz   also clang and libFuzzer
#   --deb    also the tools that build and check the Debian package (make deb)
#   --list   print the packages instead of installing them
set -eu
bench=false fuzz=false deb=false list=false
for arg in "$@"; do
    case $arg in
    --bench) bench=true ;;
    --fuzz) fuzz=true ;;
    --deb) deb=true ;;
    --list) list=true ;;
    *) echo "install-deps: unknown option $arg" >&2; exit 2 ;;
    esac
done

# desktop-file-utils and appstream validate the installed menu entry and
# AppStream file (tests/desktop/check_install.sh).
PACKAGES="g++ cmake ninja-build make qt6-base-dev qt6-base-dev-tools libgl-dev \
desktop-file-utils appstream \
libjpeg62-turbo-dev xvfb xauth"
# The similar-picture search keeps its fingerprint cache in SQLite through Qt
# SQL (the headers come with qt6-base-dev, the driver is a plugin of its own).
PACKAGES="$PACKAGES libqt6sql6-sqlite"
# Qt's own texts in German, the icon theme the program falls back to without a
# desktop session, and the SVG icon engine that draws that theme's icons.
PACKAGES="$PACKAGES qt6-translations-l10n breeze-icon-theme libqt6svg6"
# The test suite reads the package's debian/ folder with dpkg's own parsers.
PACKAGES="$PACKAGES dpkg-dev libdpkg-perl"
# The benchmarks compare with these peer tools, and take real photographs from
# these wallpaper packages (bench/common/photos.sh).
if $bench; then
    PACKAGES="$PACKAGES imagemagick jpeginfo libvips-tools \
mate-backgrounds ukui-wallpapers lomiri-wallpapers plasma-workspace-wallpapers"
    # The duplicate search compares with these two.
    PACKAGES="$PACKAGES jdupes rmlint time"
    # The similar-picture search compares with findimagedupes.
    PACKAGES="$PACKAGES findimagedupes"
    # The reduction benchmark's peers.
    PACKAGES="$PACKAGES libimage-exiftool-perl libjpeg-turbo-progs"
fi
# The fuzz targets: clang with libFuzzer and the sanitizer runtimes.
if $fuzz; then
    PACKAGES="$PACKAGES clang libclang-rt-14-dev"
fi
# The Debian package: debhelper drives the build (its cmake support), lintian
# checks the result. The other build dependencies in debian/control are above.
if $deb; then
    PACKAGES="$PACKAGES debhelper lintian"
fi

if $list; then
    # shellcheck disable=SC2086
    printf '%s\n' $PACKAGES
    exit 0
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi

echo "Installing:$missing"
$SUDO apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
