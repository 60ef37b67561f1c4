#!/usr/bin/env bash
# Packs the release the way "./run dist" does and checks what a user gets: every file the
# download README promises, the DLL identical to the built one, no developer notes, README
# links and every page's pictures that resolve inside the unpacked folder. Skips (77)
# before a build of both.
set -euo pipefail
ROOT=$1
# A run forced to one build lays out only that one; the package needs both.
[ -f "$ROOT/dist/Quillon.dll" ] && [ -f "$ROOT/dist/x64/Quillon.dll" ] ||
    { echo "dist/ not laid out for both builds yet (./run build)"; exit 77; }
zip=$(bash "$ROOT/cmake/package.sh" | tail -1)
[ -f "$zip" ] || { echo "FAIL: package.sh printed no zip path"; exit 1; }
case $(basename "$zip") in Quillon-[0-9]*.zip) ;; *) echo "FAIL: zip name $zip has no version"; exit 1 ;; esac
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
unzip -q "$zip" -d "$tmp"
top=$(find "$tmp" -mindepth 1 -maxdepth 1 -type d)
[ "$(basename "$top")" = "$(basename "$zip" .zip)" ] || { echo "FAIL: one top folder named like the zip"; exit 1; }
status=0
for f in Quillon.dll Quillon.h Quillon.bas Quillon.def libQuillon.dll.a LICENSE.txt README.md \
    docs/README.md docs/api-reference.md docs/getting-started-vb.md docs/getting-started-c.md \
    docs/tamsel.md docs/purnix.md docs/kestrom.md \
    examples/vb/QuillonSample.vbp examples/vb/frmMain.frm examples/vb/Game.bas \
    examples/vb/sprites.bmp examples/vb/ball.png examples/vb/glow.png examples/vb/Quillon.bas examples/vb/Quillon.dll; do
    [ -s "$top/$f" ] || { echo "FAIL: $f missing"; status=1; }
done
for f in x64/Quillon.dll x64/Quillon.def x64/libQuillon.dll.a; do
    [ -s "$top/$f" ] || { echo "FAIL: $f missing"; status=1; }
done
cmp -s "$ROOT/dist/x64/Quillon.dll" "$top/x64/Quillon.dll" || { echo "FAIL: x64/Quillon.dll differs"; status=1; }
for tool in TAMSEL PURNIX KESTROM x64/TAMSEL x64/PURNIX x64/KESTROM; do
    if [ -f "$ROOT/dist/$tool.EXE" ]; then
        cmp -s "$ROOT/dist/$tool.EXE" "$top/$tool.EXE" || { echo "FAIL: $tool.EXE differs"; status=1; }
        [ -s "$top/$tool.TXT" ] || { echo "FAIL: $tool.TXT missing"; status=1; }
    fi
done
cmp -s "$ROOT/dist/Quillon.dll" "$top/Quillon.dll" || { echo "FAIL: Quillon.dll differs"; status=1; }
# The 64-bit .def lists plain names; the 32-bit one binds them to Name@N.
if grep -q '=' "$top/x64/Quillon.def" 2>/dev/null; then
    echo "FAIL: x64/Quillon.def is the 32-bit export list"
    status=1
fi
if find "$top" -name 'dev-*' | grep -q .; then echo "FAIL: developer notes packed"; status=1; fi
if find "$top" -name '*_test.*' -o -name CMakeLists.txt | grep -q .; then
    echo "FAIL: test or build files packed"; status=1
fi
for target in $(grep -o '](docs/[^)#]*' "$top/README.md" | sed 's/^](//'); do
    [ -f "$top/$target" ] || { echo "FAIL: README links to missing $target"; status=1; }
done
# Pictures, from every page where it lies in the download, and each a PNG.
pictures=0
for page in "$top/README.md" "$top"/docs/*.md; do
    for target in $(grep -o '!\[[^]]*\]([^)#]*' "$page" | sed 's/.*](//'); do
        file=$(dirname "$page")/$target
        pictures=$((pictures + 1))
        if [ "$(head -c 4 "$file" 2>/dev/null | od -An -tx1 | tr -d ' ')" != 89504e47 ]; then
            echo "FAIL: ${page#"$top"/} shows $target, not a PNG in the package"
            status=1
        fi
    done
done
[ "$pictures" -gt 0 ] || { echo "FAIL: no page shows a picture"; status=1; }
[ "$status" -eq 0 ] && echo "ok: $(find "$top" -type f | wc -l) files in $(basename "$zip")"
exit $status
