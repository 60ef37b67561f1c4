#!/bin/sh
# Copies a bitmap file with its colours-used field (file offset 46) set to 0, so that the
# colour count comes from the bits per pixel alone.
set -e
cp "$1" "$2"
printf '\000\000\000\000' | dd of="$2" bs=1 seek=46 conv=notrunc 2>/dev/null
