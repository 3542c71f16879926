# The benchmark's picture set, sourced after preamble.sh and photos.sh:
#
#     similar_set DIR [MAX_SIDE]
#
# puts into DIR one copy of each unrelated photograph of the corpus (the
# wallpaper packages ship some pictures at several sizes and crops: one of
# each) as NNN-orig.jpg, and beside it five variants made by ImageMagick:
# NNN-half.jpg (half the size), NNN-q40.jpg (JPEG quality 40), NNN-crop.jpg
# (5 % cut from each side, scaled back), NNN-bright.jpg (12 % brighter) and
# NNN-grey.jpg. MAX_SIDE, when given, first scales larger originals down to
# it; the variants are made from those copies. Prints
# the number of originals. The set is kept in $KELVASTO_BENCH_CACHE/similar
# and copied from there on later runs.

# Its variables start with sim_: sh has no local variables, and photos.sh
# uses plain names (cache, dir, ...).
similar_set() {
    sim_dir=$1
    sim_side=${2:-0}
    bench_photo_corpus
    sim_cache="$(dirname "$(bench_photo_cache)")/similar-$sim_side"
    if [ ! -f "$sim_cache/.complete" ]; then
        rm -rf "$sim_cache"
        mkdir -p "$sim_cache"
        sim_n=0
        sim_seen=" "
        for sim_photo in "$(bench_photo_cache)"/*; do
            sim_stem=$(basename "$sim_photo" .jpg |
                sed -e 's/_contents_images.*//' -e 's/_[0-9]*x[0-9]*$//')
            case "$sim_seen" in *" $sim_stem "*) continue ;; esac
            sim_seen="$sim_seen$sim_stem "
            sim_n=$((sim_n + 1))
            sim_base=$(printf '%s/%03d' "$sim_cache" "$sim_n")
            if [ "$sim_side" -gt 0 ]; then
                convert "$sim_photo" -resize "${sim_side}x${sim_side}>" -quality 92 "$sim_base-orig.jpg"
            else
                cp "$sim_photo" "$sim_base-orig.jpg"
                chmod u+w "$sim_base-orig.jpg"
            fi
            convert "$sim_base-orig.jpg" -resize 50% -quality 92 "$sim_base-half.jpg"
            convert "$sim_base-orig.jpg" -quality 40 "$sim_base-q40.jpg"
            sim_geometry=$(identify -format '%wx%h' "$sim_base-orig.jpg")
            convert "$sim_base-orig.jpg" -gravity center -crop 90%x90%+0+0 +repage \
                -resize "$sim_geometry!" -quality 92 "$sim_base-crop.jpg"
            convert "$sim_base-orig.jpg" -modulate 112,100,100 -quality 92 "$sim_base-bright.jpg"
            convert "$sim_base-orig.jpg" -colorspace Gray -quality 92 "$sim_base-grey.jpg"
        done
        touch "$sim_cache/.complete"
    fi
    mkdir -p "$sim_dir"
    cp "$sim_cache"/*.jpg "$sim_dir"/
    ls "$sim_dir" | grep -c -- '-orig.jpg$'
}
