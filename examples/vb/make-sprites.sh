#!/usr/bin/env bash
# Redraws sprites.bmp, the sample's sprite sheet: four 32x32 cells side by side on
# magenta. The top-left pixel is magenta, so the loader makes magenta transparent.
# And ball.png, one more 32x32 sprite whose transparency is its alpha channel (a magenta
# ring in it is opaque and drawn), and glow.png (below). All are committed; run this only
# to change them.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 128x32 xc:magenta +antialias \
    -fill yellow -stroke black -draw 'circle 16,16 16,3' \
    -fill black -stroke none -draw 'circle 11,12 11,10' -draw 'circle 21,12 21,10' \
    -fill none -stroke black -draw 'arc 8,10 24,24 20,160' \
    -stroke none -fill red -draw 'polygon 48,2 60,16 48,30 36,16' \
    -fill '#00C0FF' -draw 'rectangle 68,6 91,25' -fill white -draw 'rectangle 73,11 86,20' \
    -fill '#00FF00' -draw 'polygon 112,2 116,12 126,12 118,19 121,29 112,23 103,29 106,19 98,12 108,12' \
    -type TrueColor BMP3:sprites.bmp
convert -size 32x32 xc:none -fill '#FF8000' -draw 'circle 16,16 16,2' \
    -fill magenta -draw 'circle 16,16 16,9' -fill '#FF8000' -draw 'circle 16,16 16,12' \
    -fill white -draw 'circle 12,11 12,9' \
    -define png:exclude-chunks=date,time PNG32:ball.png
# glow.png: a 64x64 soft glow, opaque in its middle and fading to nothing at its edge, for
# the translucent blits.
convert -size 64x64 'radial-gradient:rgba(255,240,160,1)-rgba(255,200,64,0)' \
    -fill 'rgb(255,240,160)' -draw 'circle 32,32 32,24' \
    -define png:exclude-chunks=date,time PNG32:glow.png
