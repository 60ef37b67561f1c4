#!/usr/bin/env bash
# Redraws the three program icons (32x32 and 16x16, 16 colours) with ImageMagick.
# The .ico files are committed; run this only to change a picture.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

make_icon() { # name, then convert drawing arguments for a 32x32 picture
    local name=$1
    shift
    convert -size 32x32 "$@" "$tmp/$name-32.png"
    convert "$tmp/$name-32.png" -filter point -resize 16x16 "$tmp/$name-16.png"
    convert "$tmp/$name-32.png" "$tmp/$name-16.png" -colors 16 -type Palette \
        -define icon:format=bmp "$name.ico"
}

# Tamsel: a film strip with a loudspeaker in front.
make_icon TAMSEL xc:'#C0C0C0' \
    -fill '#404040' -draw 'rectangle 2,3 24,28' \
    -fill white -draw 'rectangle 4,5 6,7' -draw 'rectangle 4,11 6,13' \
    -draw 'rectangle 4,17 6,19' -draw 'rectangle 4,23 6,25' \
    -draw 'rectangle 20,5 22,7' -draw 'rectangle 20,11 22,13' \
    -draw 'rectangle 20,17 22,19' -draw 'rectangle 20,23 22,25' \
    -fill '#00FFFF' -draw 'rectangle 9,5 17,14' -draw 'rectangle 9,17 17,26' \
    -fill '#800000' -draw 'rectangle 17,14 21,21' -draw 'polygon 21,14 29,8 29,27 21,21'

# Purnix: a sound wave running into a film frame.
make_icon PURNIX xc:'#000080' \
    -fill none -stroke '#00FF00' -strokewidth 2 \
    -draw 'polyline 1,16 4,8 7,24 10,6 13,26 16,10 19,20 21,16' \
    -stroke none -fill yellow -draw 'polygon 21,11 27,16 21,21' \
    -fill white -draw 'rectangle 27,6 30,26'

# Kestrom: a project sheet with an upward arrow (the upgrade).
make_icon KESTROM xc:'#008080' \
    -fill white -draw 'polygon 5,2 20,2 26,8 26,30 5,30' \
    -fill '#808080' -draw 'polygon 20,2 20,8 26,8' \
    -fill black -draw 'rectangle 8,10 17,11' -draw 'rectangle 8,14 15,15' \
    -draw 'rectangle 8,18 17,19' -draw 'rectangle 8,22 14,23' \
    -fill red -draw 'polygon 22,12 29,19 25,19 25,28 19,28 19,19 15,19'
