#!/bin/sh
# Writes an 8-bit RLE bitmap whose header says 12000 x 12000 pixels (more than the library
# lets a surface have) and whose data ends at once, so the file stays 1080 bytes.
# usage: huge_bmp.sh OUT.bmp
set -eu
le() { # value bytes
    v=$1 n=$2
    while [ "$n" -gt 0 ]; do
        printf "\\$(printf %03o $((v & 255)))"
        v=$((v >> 8)) n=$((n - 1))
    done
}
{
    printf 'BM'
    le 1080 4; le 0 4; le 1078 4
    le 40 4; le 12000 4; le 12000 4; le 1 2; le 8 2; le 1 4; le 2 4; le 2835 4; le 2835 4
    le 0 4; le 0 4
    i=0
    while [ $i -lt 256 ]; do le $((i * 65793)) 4; i=$((i + 1)); done
    le 256 2 # end of bitmap
} >"$1"
