#!/usr/bin/env bash
# Builds, then runs the PURNIX benchmark under Wine on a virtual display with the test
# prefix (made by ./run test on first use).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
"$ROOT/run" build >/dev/null
export WINEPREFIX=$ROOT/build/wineprefix WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:-err+module,-all} WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.quillon-ready" ]; then
    echo "no Wine prefix yet: run ./run test once" >&2
    exit 1
fi
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    wineserver -p; wine cmd /c exit >/dev/null 2>&1
    wine "$0/build/win/bin/purnix_bench.exe"; rc=$?
    wineserver -k; exit $rc' "$ROOT"
