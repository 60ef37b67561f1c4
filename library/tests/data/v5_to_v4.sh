#!/bin/sh
# Rewrites a bitmap file with a 124-byte header (what ImageMagick writes) as the same
# bitmap with a 108-byte header: the last 16 header bytes (intent and profile fields,
# unused without a profile) go, the size and offset fields shrink by 16.
set -e
in=$1
out=$2
le32() {
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) \
        $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"
}
size=$(stat -c %s "$in")
offset=$(od -An -tu4 -j10 -N4 "$in" | tr -d ' ')
header=$(od -An -tu4 -j14 -N4 "$in" | tr -d ' ')
[ "$header" = 124 ] || { echo "$in: header is $header bytes, not 124" >&2; exit 1; }
{
    head -c 2 "$in"
    le32 $((size - 16))
    dd if="$in" bs=1 skip=6 count=4 2>/dev/null
    le32 $((offset - 16))
    le32 108
    dd if="$in" bs=1 skip=18 count=104 2>/dev/null
    tail -c +$((138 + 1)) "$in"
} >"$out"
