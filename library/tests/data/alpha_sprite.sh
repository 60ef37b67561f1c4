#!/bin/sh
# Writes the alpha test sprite (16 x 8, every pixel given exactly) as a 32-bit PNG:
#   row 0: opaque red (the top-left pixel), magenta, black, (3, 0, 0); the rest clear
#   row 1: blue with alpha 120 to 135 from left to right: 8 pixels each side of 128
#   rows 3-6, columns 2-13: opaque colours; row 7: alpha 200 except the last pixel (0)
# Every other pixel is (40, 80, 120) with alpha 0.
# usage: alpha_sprite.sh OUT.png
set -eu
out=$1
txt=$out.txt
{
    echo "# ImageMagick pixel enumeration: 16,8,255,srgba"
    y=0
    while [ $y -lt 8 ]; do
        x=0
        while [ $x -lt 16 ]; do
            p="40,80,120,0"
            case "$y:$x" in
            0:0) p="255,0,0,255" ;;
            0:1) p="255,0,255,255" ;;
            0:2) p="0,0,0,255" ;;
            0:3) p="3,0,0,255" ;;
            1:*) p="0,0,255,$((120 + x))" ;;
            7:15) p="255,255,255,0" ;;
            7:*) p="$((x * 17)),$((255 - x * 17)),0,200" ;;
            [3-6]:*) [ $x -ge 2 ] && [ $x -le 13 ] && p="$((x * 16)),$((y * 32)),200,255" ;;
            esac
            echo "$x,$y: ($p)"
            x=$((x + 1))
        done
        y=$((y + 1))
    done
} >"$txt"
convert "$txt" PNG32:"$out"
rm -f "$txt"
