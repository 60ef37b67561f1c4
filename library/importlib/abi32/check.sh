#!/usr/bin/env bash
# The 32-bit interface is frozen: callers built against it must keep linking and loading.
# Makes, from the sources and with the same steps as the 32-bit tree, what a 32-bit caller
# gets:
#   - the export lines of library/include/Quillon.def (plain name = stdcall symbol),
#   - the symbols of libQuillon.dll.a (decorate.cmake, then dlltool -k),
#   - the symbols Quillon.h makes a 32-bit C caller of every export ask for (this is where
#     QHANDLE must be a 4-byte long), and the names that caller, linked against the import
#     library, binds in Quillon.dll,
# and compares them with snapshot.txt, the interface 32-bit callers are built against; a new
# export adds its own lines (with its fixed ordinal) and changes no other. Static (nothing
# runs under Wine), so it runs on every host; it needs the i686 mingw-w64 tools.
# usage: check.sh SOURCE_DIR WORK_DIR
set -euo pipefail
src=$1
work=$2
here=$src/library/importlib/abi32
prefix=i686-w64-mingw32
for tool in $prefix-dlltool $prefix-nm $prefix-objdump $prefix-gcc cmake; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done
rm -rf "$work"
mkdir -p "$work"
cd "$work"

def=$src/library/include/Quillon.def
cmake -DARCH=x86 -DPLAIN_DEF="$def" -DDECORATED_DEF=decorated.def -DIMPORT_CHECK=import_table.c \
    -P "$src/library/importlib/decorate.cmake"
$prefix-dlltool -d decorated.def -D Quillon.dll -k -l libQuillon.dll.a

# A 32-bit caller of every export, by the prototypes of Quillon.h.
{
    echo '#include "Quillon.h"'
    echo 'int main(void) {'
    echo '    static const void* const used[] = {'
    sed -n 's/^[ \t]*\([A-Za-z_][A-Za-z0-9_]*\)[ \t]*=.*/        (const void*)\1,/p' "$def"
    echo '    };'
    echo '    return used[0] == 0;'
    echo '}'
} >caller.c
$prefix-gcc -std=c99 -Wall -Werror -I"$src/library/include" -c caller.c -o caller.o
failed=0
if ! $prefix-gcc caller.o libQuillon.dll.a -o caller.exe; then
    echo "FAIL: a 32-bit caller of Quillon.h does not link against libQuillon.dll.a"
    failed=1
fi

{
    echo "[Quillon.def: export lines]"
    sed -n 's/^[ \t]*\([A-Za-z_][A-Za-z0-9_]*\)[ \t]*=[ \t]*\([^ \t\r]*\)\([ \t]*@[0-9]*\)\{0,1\}.*/\1 = \2\3/p' "$def"
    echo "[libQuillon.dll.a: symbols of the exports]"
    $prefix-nm --defined-only libQuillon.dll.a |
        awk '$3 ~ /^_[A-Za-z][A-Za-z0-9_]*@[0-9]+$/ || $3 ~ /^__imp__[A-Za-z][A-Za-z0-9_]*@[0-9]+$/ {print $2, $3}' |
        LC_ALL=C sort
    echo "[Quillon.h: symbols a 32-bit caller of every export asks for]"
    $prefix-nm --undefined-only caller.o | awk '$2 ~ /@[0-9]+$/ {print $2}' | LC_ALL=C sort
    echo "[caller.exe: names it binds in Quillon.dll]"
    [ ! -f caller.exe ] || $prefix-objdump -p caller.exe |
        awk '/DLL Name:/ {quillon = ($3 == "Quillon.dll"); next}
             quillon && NF == 0 {quillon = 0}
             quillon && NF == 3 && $1 ~ /^[0-9a-f]+$/ {print $3}' |
        LC_ALL=C sort
} >now.txt

if ! diff -u "$here/snapshot.txt" now.txt; then
    echo "FAIL: the 32-bit interface differs from snapshot.txt (lines above: - then, + now)"
    failed=1
fi
[ "$failed" -eq 0 ] || exit 1
echo "the 32-bit .def, import library and header give callers what they gave before"
