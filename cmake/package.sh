#!/usr/bin/env bash
# Packs what a user downloads into one zip named with the version: the laid-out dist/
# (DLL, header, VB module, .def, import library, programs and their help files, and the
# same binaries of the 64-bit build in x64/), the user documentation with its pictures, the
# samples and the licence. Run by "./run dist" after a build.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
DIST=$ROOT/dist
OUT=$ROOT/build/release

# One version for the whole toolkit: the one the DLL's version resource carries.
VERSION=$(sed -n 's/.*VALUE "ProductVersion", "\([^"]*\)".*/\1/p' "$ROOT/resources/Quillon.rc")
[ -n "$VERSION" ] || { echo "package: no ProductVersion in resources/Quillon.rc" >&2; exit 1; }
NAME=Quillon-$VERSION
STAGE=$OUT/$NAME
ZIP=$OUT/$NAME.zip

for needed in Quillon.dll Quillon.h Quillon.bas Quillon.def libQuillon.dll.a \
    x64/Quillon.dll x64/Quillon.def x64/libQuillon.dll.a; do
    [ -f "$DIST/$needed" ] || { echo "package: dist/$needed is missing; run ./run build" >&2; exit 1; }
done
missing=()
for tool in TAMSEL PURNIX KESTROM x64/TAMSEL x64/PURNIX x64/KESTROM; do
    [ -f "$DIST/$tool.EXE" ] || missing+=("$tool.EXE")
done
[ ${#missing[@]} -eq 0 ] || echo "package: warning: not built in this tree: ${missing[*]}" >&2

rm -rf "$STAGE" "$ZIP"
mkdir -p "$STAGE/docs" "$STAGE/examples/vb"
cp -r "$DIST"/. "$STAGE/"
cp "$ROOT/LICENSE" "$STAGE/LICENSE.txt"
# The download's README sits at the root: its links to the pages and pictures gain the
# docs/ folder.
sed -e 's#](\([a-z0-9-]*\.md\)#](docs/\1#g' -e 's#](images/#](docs/images/#g' \
    "$ROOT/docs/README.md" >"$STAGE/README.md"
# User documentation only; developer notes (dev-*.md) stay in the repository.
for page in "$ROOT"/docs/*.md; do
    case $(basename "$page") in dev-*) ;; *) cp "$page" "$STAGE/docs/" ;; esac
done
# The pictures the pages show (made by "./run docs").
[ -d "$ROOT/docs/images" ] && cp -r "$ROOT/docs/images" "$STAGE/docs/"
# The VB sample opens and runs from its own folder: it gets the module and the DLL.
cp "$ROOT"/examples/vb/{QuillonSample.vbp,frmMain.frm,Game.bas,sprites.bmp,ball.png,glow.png} "$STAGE/examples/vb/"
cp "$DIST/Quillon.bas" "$DIST/Quillon.dll" "$STAGE/examples/vb/"
# The C demo's sources, when this tree has them.
if [ -d "$ROOT/examples/demo" ]; then
    mkdir -p "$STAGE/examples/demo"
    find "$ROOT/examples/demo" -maxdepth 1 -type f \
        \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.bmp' \) ! -name '*_test.*' \
        -exec cp {} "$STAGE/examples/demo/" \;
fi

(cd "$OUT" && zip -q -r -X "$ZIP" "$NAME")
echo "== release package ($(find "$STAGE" -type f | wc -l) files):"
echo "$ZIP"
