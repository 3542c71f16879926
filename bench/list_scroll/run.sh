#!/bin/sh
# Scrolling the file list of the real main window (offscreen) through a folder
# of N real photographs (default 10,000: hard links to the photo corpus under
# distinct names) in the large-icon view with thumbnails on, the thumbnail
# cache empty at the start, so the thumbnails are made while the list scrolls.
# Target: no frame longer than 50 ms. The frame times mean something only on
# a machine that is not saturated: the load average is printed beside them.
. "$(dirname "$0")/../common/preamble.sh"
. "$ROOT/bench/common/photos.sh"
tool=$(bench_tool bench_list_scroll)
count=${N:-10000}
dir=$HOME/Bilder
bench_photo_corpus
# shellcheck disable=SC2046
"$tool" populate "$dir" "$count" $(ls -d "$(bench_photo_cache)"/*)
echo "$count photographs ($(bench_photo_count) distinct) in $dir; thumbnail cache empty"
echo "load before: $(uptime)"
"$tool" scroll "$dir"
echo "load after:  $(uptime)"
