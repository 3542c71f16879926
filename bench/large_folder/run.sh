#!/bin/sh
# The main window (offscreen, built as the program builds it) with large
# folders of pictures, against the targets:
#   start with 1,000, 10,000 and 100,000 pictures in the start folder, each
#   view: idle (loaded and laid out) within 1.5 s, no event-loop turn longer
#   than a click may wait, peak memory of the whole process under 150 MB;
#   the folder change 100,000 -> 1,000 -> 100,000, and a click on the small
#   folder while the big one loads;
#   selecting all 100,000 and starting the defect scan on them: no pause over
#   0.2 s before the progress bar moves, each view;
#   thumbnails on, in the icon views: only what is in view is made, at the
#   start, after a scroll and after a fast scroll over the whole list.
# The listed-folder defect scan against the command line is bench/window_scan.
# Sizes: SIZES="1000 10000 100000", VIEWS="large small list details".
. "$(dirname "$0")/../common/preamble.sh"
tool=$(bench_tool bench_large_folder)
sizes=${SIZES:-1000 10000 100000}
views=${VIEWS:-large small list details}

# The settings store of a user who has chosen the language.
mkdir -p "$XDG_CONFIG_HOME/Morlandt"
printf '{"\\\\Software\\\\Morlandt\\\\Kelvasto\\\\V1.24": {"Sprachwahl": 0}}\n' \
    > "$XDG_CONFIG_HOME/Morlandt/hive.json"

echo "load before: $(uptime)"
for size in $sizes; do
    home="$WORK/home-$size"
    "$tool" populate "$home" "$size"
    for view in $views; do
        HOME="$home" "$tool" start "$view"
    done
    for view in $views; do
        case $view in large | small) HOME="$home" "$tool" thumbnails "$view" ;; esac
    done
done

big="$HOME/big"
small="$HOME/small"
"$tool" populate "$big" 100000
"$tool" populate "$small" 1000
for view in $views; do
    "$tool" change "$view" "$big" "$small"
done
for view in $views; do
    "$tool" selectall "$big" "$view"
done
echo "load after:  $(uptime)"
